#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/IniDocument.h"

namespace platform {

namespace {

using Loaded = AtomicFile::ReadResult;

Loaded load(const QByteArray& hostPath, IniDocument& doc)
{
    QByteArray raw;
    const Loaded result = AtomicFile::read(hostPath, raw);
    if (result == Loaded::Ok)
        doc = IniDocument::parse(raw);
    return result;
}

} // namespace

QString ProfileFile::readString(const QByteArray& hostPath, const QString& section, const QString& key,
                                const QString& def, int bufferChars)
{
    IniDocument doc;
    QString value = def;
    if (load(hostPath, doc) == Loaded::Ok)
        value = doc.value(section, key).value_or(def);
    const qsizetype limit = qMax(0, bufferChars - 1);
    if (value.size() > limit) {
        value.truncate(limit);
        if (!value.isEmpty() && value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

bool ProfileFile::writeString(const QByteArray& hostPath, const QString& section, const QString& key,
                              const QString& value)
{
    IniDocument doc;
    if (load(hostPath, doc) == Loaded::Unreadable)
        return false;
    if (!doc.setValue(section, key, value))
        return true;
    return AtomicFile::write(hostPath, doc.serialize());
}

bool ProfileFile::removeSection(const QByteArray& hostPath, const QString& section)
{
    IniDocument doc;
    switch (load(hostPath, doc)) {
    case Loaded::Missing:
        return true;
    case Loaded::Unreadable:
        return false;
    case Loaded::Ok:
        break;
    }
    return !doc.removeSection(section) || AtomicFile::write(hostPath, doc.serialize());
}

} // namespace platform
