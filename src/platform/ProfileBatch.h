#pragma once
// Changes to one profile file collected first and made together: the file
// is read once, every change applied in order, and the result written in one
// atomic replacement, so an interruption leaves either none of the changes
// or all of them, never half a list.

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

class ProfileBatch {
public:
    // Queues storing value under section/key (as ProfileFile::writeString).
    void writeString(const QString& section, const QString& key, const QString& value);

    // Queues removing section (as ProfileFile::removeSection).
    void removeSection(const QString& section);

    // True when nothing is queued.
    bool isEmpty() const { return steps_.isEmpty(); }

    // Applies every queued change, in order, to the file at hostPath and
    // replaces it once; the queue is emptied either way. Returns false when
    // the file could not be read or written (it is then unchanged) or a name
    // was refused (the other changes are written).
    bool commit(const QByteArray& hostPath);

private:
    struct Step {
        bool remove = false;
        QString section, key, value;
    };
    QList<Step> steps_;
};

} // namespace platform
