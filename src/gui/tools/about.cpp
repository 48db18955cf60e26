#include "gui/tools/about.h"

#include "options/options.h"
#include "base/appstate.h"
#include "base/version.h"
#include "gui/common/messagedialog.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef QV_VERSION_BUILD
#define QV_VERSION_BUILD 0
#endif

namespace {
// Fills the "%d" placeholders of a translated format in order.
QString fillNumbers(const QString &format, std::initializer_list<int> values)
{
    QString out;
    qsizetype from = 0;
    for (int v : values) {
        const qsizetype at = format.indexOf(QLatin1String("%d"), from);
        if (at < 0)
            break;
        out += QStringView(format).mid(from, at - from);
        out += QString::number(v);
        from = at + 2;
    }
    out += QStringView(format).mid(from);
    return out;
}
} // namespace

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    m_lbTitle = new QLabel(this);
    m_lbTitle->setObjectName(QStringLiteral("lbTitle"));
    QFont f = m_lbTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.8);
    f.setBold(true);
    m_lbTitle->setFont(f);
    m_lbVersion = new QLabel(this);
    m_lbVersion->setObjectName(QStringLiteral("lbVersion"));
    m_lbLegal = new QLabel(this);
    m_lbLegal->setObjectName(QStringLiteral("lbLegal"));
    m_lbLegal->setWordWrap(true);
    m_lbCopyright = new QLabel(this);
    m_lbCopyright->setObjectName(QStringLiteral("lbCopyright"));
    m_btClose = new QPushButton(this);
    m_btClose->setObjectName(QStringLiteral("btClose"));
    m_btClose->setDefault(true);
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lbTitle);
    layout->addWidget(m_lbVersion);
    layout->addSpacing(8);
    layout->addWidget(m_lbLegal);
    layout->addWidget(m_lbCopyright);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_btClose);
    layout->addLayout(row);
    setMinimumWidth(420);
}

QString TfrmAbout::VersionText()
{
    return fillNumbers(Translate(QStringLiteral("Version: %d.%d.%d (Build %d)")),
                       {QV_VERSION_MAJOR, QV_VERSION_MINOR, QV_VERSION_PATCH, QV_VERSION_BUILD});
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    setWindowTitle(TranslatedCaption(QStringLiteral("About")));
    m_lbTitle->setText(QString::fromLatin1(AppState::ApplicationTitle));
    m_lbVersion->setText(VersionText());
    m_lbLegal->setText(Translate(QStringLiteral(
        "This program is provided as is, without warranty of any kind. Keep more than one copy of data that matters.")));
    m_lbCopyright->setText(QStringLiteral("© %1 %2").arg(QDate::currentDate().year()).arg(
        QString::fromLatin1(AppState::ApplicationTitle)));
    m_btClose->setText(Translate(QStringLiteral("Close")));
    QDialog::showEvent(event);
}
