#pragma once
// What the jobs list shows for a job, as texts and colours, apart from any
// painting: the card's second line, its two action links, its result line
// (or progress bar), and the five cells of the table view. The delegate
// paints these; tests check them directly.
#include "jobs/jobtext.h"
#include "jobs/job.h"

#include <QColor>
#include <QString>

// The action behind a card link.
enum class CardLink { None, Backup, Restore, Pause, Resume, Cancel };

struct CardLinks {
    CardLink Link1 = CardLink::None;
    CardLink Link2 = CardLink::None;
};

// Idle: Backup, Restore; waiting or running: Pause (only when the job can
// pause), Cancel; paused: Resume, Cancel; cancelling: none.
CardLinks CardLinksFor(const TJob &job);
// The translated caption of a link ("Backup", "Pause", ...).
QString CardLinkText(CardLink link);

// The card's second line. While the job runs or is paused it is the current
// operation (Prefix, the verb and a blank, then Path, which the painter
// shortens to the room it has); otherwise it is the destination (Prefix
// alone, Path empty). Warning lines are drawn in red.
struct CardSecondLine {
    QString Prefix;
    QString Path;
    bool Warning = false;
};
CardSecondLine CardSecondLineFor(const TJob &job);

// "Backup to drive: /mnt/backup/Docs" and the like; empty for an FTP
// destination whose account no longer exists.
QString DestinationText(const TJob &job);

// The right end of the card's second line.
struct CardResult {
    QString Text;        // "Never started", "Finished on ...", "Waiting", ...
    QColor Color;        // invalid: the normal text colour
    QString CountLink;   // "Errors: 2" or "Warnings: 1", or empty
    bool ShowProgress = false;
    int Percent = 0;     // 0..100 when ShowProgress
};
CardResult CardResultFor(const TJob &job);

// The kinds of the count link's target: the job's log (only when the last
// run left errors or warnings).
bool HasErrorsOrWarnings(const TJob &job);

// The table view's columns.
enum JobsColumn { colTitle, colType, colStorage, colStatus, colLastResult, colCount };
QString ColumnTitle(int column);

struct TableCell {
    QString Text;
    QColor Color; // invalid: the normal text colour
};
TableCell TableCellFor(const TJob &job, int column);

// "Files and Folders Backup", "Drive Image Backup", "Application Data Backup".
QString JobKindText(const TJob &job);
// "Drive", "Network", "FTP", "Cloud".
QString StorageText(const TJob &job);

// The colours of the list.
namespace ListColors {
inline QColor Red() { return QColor(255, 0, 0); }
inline QColor Orange() { return QColor(255, 165, 0); }
inline QColor Green() { return QColor(0, 128, 0); }
inline QColor Navy() { return QColor(0, 0, 128); }
inline QColor SelectedBackground() { return QColor(205, 232, 255); }
inline QColor SelectedBorder() { return QColor(153, 209, 255); }
inline QColor ProgressFill() { return QColor(139, 192, 80); }
} // namespace ListColors

// A job date as the list shows it: the user's short date and long time.
QString JobDateText(double dateTime);
