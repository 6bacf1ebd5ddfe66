#include "platform/RegistryKey.h"

#include "platform/posix/RegistryStore.h"

#include <QDateTime>

namespace platform {

namespace {

QStringList components(const QString& path)
{
    QStringList parts;
    for (const QString& p : path.split(u'\\'))
        if (!p.isEmpty())
            parts.append(p);
    return parts;
}

// The path of key below base inside the file, with link keys (such as
// CurrentControlSet) followed.
QString resolve(const RegistryText& text, const QString& base, const QString& rel)
{
    QString current = base;
    int hops = 0;
    for (const QString& part : components(rel)) {
        current = current.isEmpty() ? part : current + u'\\' + part;
        while (hops < 16) {
            const std::optional<QString> target = text.linkTarget(current);
            if (!target)
                break;
            current = *target;
            ++hops;
        }
    }
    return current;
}

// Path below the file's root for a path given below root: the users root
// holds only ".DEFAULT", which is the whole of its file.
bool pathInFile(RegistryRoot root, const QString& path, QString& out)
{
    QStringList parts = components(path);
    if (root == RegistryRoot::Users) {
        if (parts.isEmpty() || parts.first().compare(QLatin1String(".DEFAULT"), Qt::CaseInsensitive) != 0)
            return false;
        parts.removeFirst();
    }
    out = parts.join(u'\\');
    return true;
}

const RegistryValue* findValue(const RegistryText& text, const QString& key, const QString& name)
{
    const RegistryBlock* b = text.block(key);
    if (!b)
        return nullptr;
    const QString folded = RegistryText::fold(name);
    for (const RegistryValue& v : b->values)
        if (RegistryText::fold(v.name) == folded)
            return &v;
    return nullptr;
}

qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

bool RegistryKey::open(RegistryRoot root, const QString& path, bool create)
{
    open_ = false;
    QString inFile;
    if (!pathInFile(root, path, inFile))
        return false;
    std::shared_ptr<const RegistryText> text = RegistryStore::load(root);
    QString resolved = resolve(*text, {}, inFile);
    const bool writable = RegistryStore::writable(root);
    if (!text->exists(resolved)) {
        if (!create || !writable)
            return false;
        const std::optional<QByteArray> changed = text->withKey(resolved, now());
        if (!changed || !RegistryStore::replace(root, *text, *changed))
            return false;
        text = RegistryStore::load(root);
        if (!text->exists(resolved))
            return false;
    }
    root_ = root;
    path_ = text->spelling(resolved);
    readOnly_ = !writable;
    open_ = true;
    return true;
}

bool RegistryKey::canWrite() const
{
    return open_ && !readOnly_ && RegistryStore::writable(root_);
}

bool RegistryKey::readString(const QString& name, QString& text) const
{
    text.clear();
    if (!open_)
        return false;
    const std::shared_ptr<const RegistryText> file = RegistryStore::load(root_);
    if (!file->exists(path_))
        return false;
    const RegistryValue* v = findValue(*file, path_, name);
    if (!v)
        return true;
    if (v->type != RegSz && v->type != RegExpandSz)
        return false;
    if (v->textForm) {
        text = v->text;
    } else {
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(v->bytes.constData()), v->bytes.size() / 2);
        const qsizetype nul = text.indexOf(QChar(0));
        if (nul >= 0)
            text.truncate(nul);
    }
    return true;
}

bool RegistryKey::readInteger(const QString& name, quint32& value) const
{
    if (!open_)
        return false;
    const std::shared_ptr<const RegistryText> file = RegistryStore::load(root_);
    const RegistryValue* v = findValue(*file, path_, name);
    if (!v || v->type != RegDword || v->textForm || v->bytes.size() != 4)
        return false;
    const auto* b = reinterpret_cast<const uchar*>(v->bytes.constData());
    value = quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
    return true;
}

bool RegistryKey::writeInteger(const QString& name, quint32 value)
{
    if (!canWrite())
        return false;
    const std::shared_ptr<const RegistryText> file = RegistryStore::load(root_);
    if (!file->exists(path_))
        return false;
    const std::optional<QByteArray> changed = file->withDword(path_, name, value, now());
    return changed && RegistryStore::replace(root_, *file, *changed);
}

bool RegistryKey::valueExists(const QString& name) const
{
    return open_ && findValue(*RegistryStore::load(root_), path_, name) != nullptr;
}

QStringList RegistryKey::valueNames() const
{
    QStringList names;
    if (!open_)
        return names;
    const std::shared_ptr<const RegistryText> file = RegistryStore::load(root_);
    if (const RegistryBlock* b = file->block(path_))
        for (const RegistryValue& v : b->values)
            names.append(v.name);
    return names;
}

QStringList RegistryKey::subKeyNames() const
{
    return open_ ? RegistryStore::load(root_)->children(path_) : QStringList();
}

bool RegistryKey::subKeyName(int index, QString& name) const
{
    const QStringList names = subKeyNames();
    if (index < 0 || index >= names.size())
        return false;
    name = names[index];
    return true;
}

bool RegistryKey::deleteValue(const QString& name)
{
    if (!canWrite())
        return false;
    const std::shared_ptr<const RegistryText> file = RegistryStore::load(root_);
    const std::optional<QByteArray> changed = file->withoutValue(path_, name);
    return changed && RegistryStore::replace(root_, *file, *changed);
}

bool RegistryKey::deleteKey(const QString& relPath)
{
    if (!canWrite() || components(relPath).isEmpty())
        return false;
    const std::shared_ptr<const RegistryText> file = RegistryStore::load(root_);
    if (!file->exists(path_))
        return false;
    const QString target = resolve(*file, path_, relPath);
    const std::optional<QByteArray> changed = file->withoutKey(target, now());
    return changed && RegistryStore::replace(root_, *file, *changed);
}

} // namespace platform
