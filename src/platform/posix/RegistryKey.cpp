#include "platform/RegistryKey.h"

#include "formats/Utf16Text.h"
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

// Links lead on to links at most this often (a loop ends here).
constexpr int kMaxLinkHops = 16;

// Appends parts to at, following every link key met on the way (the last
// component only with followLast) into the file of the root its target
// names, as Wine does: CurrentControlSet leads to ControlSet001. False when
// a link leads nowhere this registry has or links chain too long.
bool walk(RegistryLocation& at, const QStringList& parts, bool followLast, int& hops)
{
    for (qsizetype i = 0; i < parts.size(); ++i) {
        at.path = at.path.isEmpty() ? parts[i] : at.path + u'\\' + parts[i];
        if (i + 1 == parts.size() && !followLast)
            break;
        const std::shared_ptr<const RegistryText> text = RegistryStore::load(at.root);
        if (!text->isLink(at.path))
            continue;
        const std::optional<QString> target = text->linkTarget(at.path);
        const std::optional<RegistryLocation> hive = target ? RegistryStore::locate(*target) : std::nullopt;
        if (!hive || ++hops > kMaxLinkHops)
            return false;
        // The target's own path may pass through links too.
        RegistryLocation next{hive->root, {}};
        if (!walk(next, components(hive->path), true, hops))
            return false;
        at = next;
    }
    return true;
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
    // A key deeper than any file may hold is refused before a link on its
    // way is followed or a line for it is written: the file would read as
    // damaged and refuse every later write.
    if (RegistryText::tooDeep(inFile))
        return false;
    RegistryLocation at{root, {}};
    int hops = 0;
    if (!walk(at, components(inFile), true, hops) || RegistryText::tooDeep(at.path))
        return false;
    std::shared_ptr<const RegistryText> text = RegistryStore::load(at.root);
    const bool writable = RegistryStore::writable(at.root);
    if (!text->exists(at.path)) {
        if (!create || !writable)
            return false;
        const std::optional<QByteArray> changed = text->withKey(at.path, now());
        if (!changed || !RegistryStore::replace(at.root, *text, *changed))
            return false;
        text = RegistryStore::load(at.root);
        if (!text->exists(at.path))
            return false;
    }
    root_ = at.root;
    path_ = text->spelling(at.path);
    readOnly_ = !writable;
    open_ = true;
    return true;
}

QByteArray RegistryKey::filesFolder()
{
    return RegistryStore::folder();
}

bool RegistryKey::machineIs64Bit()
{
    return RegistryStore::load(RegistryRoot::LocalMachine)->arch() == "win64";
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
        text = formats::Utf16Text::fromLittleEndian(v->bytes);
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
    const QStringList parts = components(relPath);
    if (!canWrite() || parts.isEmpty() || !RegistryStore::load(root_)->exists(path_))
        return false;
    // The key named is deleted itself: a link key goes, its target stays.
    // Links below it are blocks like any other and go with it.
    RegistryLocation at{root_, path_};
    int hops = 0;
    if (!walk(at, parts, false, hops))
        return false;
    const std::shared_ptr<const RegistryText> file = RegistryStore::load(at.root);
    const std::optional<QByteArray> changed = file->withoutKey(at.path, now());
    return changed && RegistryStore::replace(at.root, *file, *changed);
}

} // namespace platform
