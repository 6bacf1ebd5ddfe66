#include "platform/ProfileFile.h"

#include <QMutex>

namespace platform {

namespace {

using Loaded = AtomicFile::ReadResult;

// The last document parsed or written, with the exact bytes it came from.
struct LastParse {
    QMutex lock;
    QByteArray path;
    QByteArray bytes;
    formats::IniDocument doc;
};

LastParse& lastParse()
{
    static LastParse last;
    return last;
}

void remember(const QByteArray& path, const QByteArray& bytes, const formats::IniDocument& doc)
{
    LastParse& last = lastParse();
    QMutexLocker locker(&last.lock);
    last.path = path;
    last.bytes = bytes;
    last.doc = doc;
}

QString withoutTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    text.truncate(end);
    return text;
}

// Loads the file into doc, keeping its bytes in raw.
Loaded loadWithBytes(const QByteArray& hostPath, formats::IniDocument& doc, QByteArray& raw)
{
    const Loaded result = AtomicFile::read(hostPath, raw);
    if (result != Loaded::Ok) {
        raw.clear();
        doc = formats::IniDocument();
        return result;
    }
    {
        LastParse& last = lastParse();
        QMutexLocker locker(&last.lock);
        if (last.path == hostPath && last.bytes == raw) {
            doc = last.doc;
            return result;
        }
    }
    doc = formats::IniDocument::parse(raw);
    remember(hostPath, raw, doc);
    return result;
}

} // namespace

AtomicFile::ReadResult ProfileFile::load(const QByteArray& hostPath, formats::IniDocument& doc)
{
    QByteArray raw;
    return loadWithBytes(hostPath, doc, raw);
}

QString ProfileFile::readString(const formats::IniDocument& doc, const QString& section, const QString& key, const QString& def,
                                int bufferChars)
{
    QString value = doc.value(section, key).value_or(withoutTrailingBlanks(def));
    const qsizetype limit = qMax(0, bufferChars - 1);
    if (value.size() > limit) {
        value.truncate(limit);
        if (!value.isEmpty() && value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

QString ProfileFile::readString(const QByteArray& hostPath, const QString& section, const QString& key,
                                const QString& def, int bufferChars)
{
    formats::IniDocument doc;
    load(hostPath, doc);
    return readString(doc, section, key, def, bufferChars);
}

bool ProfileFile::change(const QByteArray& hostPath, const std::function<Outcome(formats::IniDocument&)>& edit)
{
    formats::IniDocument doc;
    QByteArray before;
    const Loaded loaded = loadWithBytes(hostPath, doc, before);
    if (loaded == Loaded::Unreadable)
        return false;
    const Outcome outcome = edit(doc);
    if (!outcome.changed)
        return !outcome.refused;
    const QByteArray bytes = doc.serialize();
    if (loaded == Loaded::Ok && bytes == before)
        return !outcome.refused; // cleared and written back as it was
    if (!AtomicFile::write(hostPath, bytes))
        return false;
    remember(hostPath, bytes, doc);
    return !outcome.refused;
}

bool ProfileFile::writeString(const QByteArray& hostPath, const QString& section, const QString& key,
                              const QString& value)
{
    return change(hostPath, [&](formats::IniDocument& doc) {
        const formats::IniDocument::Edit edit = doc.setValue(section, key, value);
        return Outcome{edit == formats::IniDocument::Edit::Changed, edit == formats::IniDocument::Edit::Refused};
    });
}

bool ProfileFile::removeSection(const QByteArray& hostPath, const QString& section)
{
    return change(hostPath, [&](formats::IniDocument& doc) { return Outcome{doc.removeSection(section), false}; });
}

} // namespace platform
