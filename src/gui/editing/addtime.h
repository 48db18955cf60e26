#pragma once
// The add-time dialog of the wizard's timetable: a time picker and "OK".
// "OK" or Enter closes it with the result 1; closing otherwise leaves 0.
#include <QDialog>
#include <QTime>

class QPushButton;
class QTimeEdit;

class TfrmAddTime : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAddTime(QWidget *parent = nullptr);
    QTimeEdit *DateTimePicker1() const { return m_picker; }
    QPushButton *btOK() const { return m_btOK; }
    QTime Time() const;
    void SetTime(const QTime &time);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTimeEdit *m_picker;
    QPushButton *m_btOK;
};
