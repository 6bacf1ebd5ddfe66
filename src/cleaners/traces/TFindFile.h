#pragma once
// Collects the full names of the entries of one folder, or of a folder and
// all its sub-folders, that match a mask and an attribute set.

#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>

enum TAttrOption { ffReadOnly, ffHidden, ffSystem, ffVolumeID, ffDirectory, ffArchive };
using TAttrOptions = QSet<TAttrOption>;

// NewPath is the folder about to be listed (trailing backslash); setting
// Abort stops the listing at once.
using TNewPathEvent = std::function<void(QObject* Sender, const QString& NewPath, bool& Abort)>;
using TNotifyEvent = std::function<void(QObject* Sender)>;

class TFindFile : public QObject {
    Q_OBJECT
public:
    explicit TFindFile(QObject* owner = nullptr);

    QString Directory; // empty: nothing is listed
    QString Filter = QStringLiteral("*.*");
    bool Recurse = false;
    TAttrOptions Attributes{ffReadOnly, ffHidden, ffSystem, ffArchive};
    QStringList Files; // the result, in the order found

    TNotifyEvent BeforeExecute;
    TNotifyEvent AfterExecute;
    TNewPathEvent OnNewPath;

    // Empties Files and fills it: Directory alone, or with Recurse the
    // folder and its sub-folders breadth-first (never into another mounted
    // file system; links are entries, not folders). Entries admitted as the
    // file search admits them under the attribute mask; "." and ".." never.
    void Execute();

    // The attribute mask: the sum of the bits of Attributes.
    quint32 AttributeMask() const;

private:
    // Lists one folder; false when OnNewPath asked to stop.
    bool ListFolder(QString folder);
};
