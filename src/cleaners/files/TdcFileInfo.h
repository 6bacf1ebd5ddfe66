#pragma once
// What is known of one file: size (64-bit), attributes, three times, the
// shell's display and type names. Writing a new FILENAME reads it. Icons are
// the windows' to look up (FileIcons): this component needs no display.

#include "cleaners/files/TumdcComponent.h"

#include <QDateTime>

enum TdcFileInfoAttribute : quint32 {
    fiaArchive = 0x01,
    fiaHidden = 0x02,
    fiaReadOnly = 0x04,
    fiaSystem = 0x08,
    fiaDirectory = 0x10,
    fiaTemporary = 0x20,
    fiaCompressed = 0x40,
    fiaOffline = 0x80,
};

class TdcFileInfo : public TumdcComponent {
    Q_OBJECT
public:
    explicit TdcFileInfo(QObject* parent = nullptr);

    const QString& FILENAME() const { return fileName_; }
    // Stores name and reads it, unless it equals the current one.
    void SetFILENAME(const QString& name);

    // Clears every result and reads FILENAME again. Returns false when the
    // name is empty or names no entry. The entry spelled exactly as the name
    // is read; another spelling only when there is no such entry.
    bool Refresh() override;

    // Whether the last Refresh found the file.
    bool Found() const { return found_; }

    quint64 FileSize = 0;
    quint32 FileAttributes = 0; // TdcFileInfoAttribute bits
    // Local times at two-second steps, as a DOS date-time holds them;
    // invalid (the "-1" of the original) outside 1980 to 2107.
    QDateTime TimeCreated, TimeLastAccessed, TimeLastModified;
    QString DisplayName;
    QString FileType;
    int SysImageIndex = 0;

private:
    void clear();

    QString fileName_;
    bool found_ = false;
};
