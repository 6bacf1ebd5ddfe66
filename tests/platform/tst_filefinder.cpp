// Find-first / find-next enumeration against real files.

#include "platform/TestSeams.h"
#include "platform/EntryLookup.h"
#include "platform/FileFinder.h"
#include "platform/FolderListing.h"
#include "formats/HostNameCodec.h"
#include "posix/Handles.h"
#include "support/Sandbox.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cctype>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace platform;

namespace {

QStringList list(const QString& pattern, quint32 mask = faAnyFile)
{
    QStringList names;
    FileFinder f;
    for (bool ok = f.findFirst(pattern, mask); ok; ok = f.findNext())
        names << f.name();
    return names;
}

quint32 attributesOf(const QString& pattern)
{
    FileFinder f;
    return f.findFirst(pattern, faAnyFile) ? f.attributes() : 0xFFFFFFFF;
}

// The text form of a host name, written out the long way: valid UTF-8
// becomes its characters, except those standing in for reserved ones;
// reserved ASCII moves to U+F000 + c; any other byte to U+DC00 + byte.
std::u16string referenceDecode(const QByteArray& bytes)
{
    const auto reserved = [](char32_t c) { return c > 0 && c < 0x80 && std::strchr("\\:*?\"<>|", int(c)); };
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            out += char16_t(reserved(p[i]) ? 0xF000 + p[i] : p[i]);
            ++i;
            continue;
        }
        const int len = p[i] >= 0xF0 ? 4 : p[i] >= 0xE0 ? 3 : p[i] >= 0xC0 ? 2 : 0;
        char32_t cp = len == 4 ? p[i] & 0x07 : len == 3 ? p[i] & 0x0F : p[i] & 0x1F;
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k) {
            ok = (p[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        const char32_t shortest = len == 4 ? 0x10000 : len == 3 ? 0x800 : 0x80;
        ok = ok && cp >= shortest && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)
            && !(cp > 0xF000 && cp < 0xF080 && reserved(cp - 0xF000));
        if (!ok) {
            out += char16_t(0xDC00 + p[i]);
            ++i;
        } else if (cp >= 0x10000) {
            out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
            i += len;
        } else {
            out += char16_t(cp);
            i += len;
        }
    }
    return out;
}

// Listing order written out the long way: every code unit case-folded, the
// folded names compared as a whole, names equal but for case by code unit.
bool referenceLess(const std::u16string& a, const std::u16string& b)
{
    const auto folded = [](const std::u16string& s) {
        std::u16string f;
        for (char16_t u : s)
            f += QChar(u).toCaseFolded().unicode();
        return f;
    };
    const std::u16string fa = folded(a), fb = folded(b);
    return fa != fb ? fa < fb : a < b;
}

// A random host name from pieces that decode in every way there is: mixed
// case ASCII, reserved characters, Cyrillic and German letters whose case
// folds beyond ASCII, a character outside the basic plane, the stand-ins
// for reserved characters and for bytes, and bytes that are not UTF-8.
QByteArray randomHostName(QRandomGenerator& rng)
{
    static const char* const pieces[] = {"a",
                                         "A",
                                         "b",
                                         "B",
                                         "z",
                                         "Z",
                                         "0",
                                         "7",
                                         ".",
                                         "_",
                                         "-",
                                         " ",
                                         "tmp",
                                         "TMP",
                                         "Beta",
                                         "beta",
                                         "*",
                                         "?",
                                         ":",
                                         "|",
                                         "\\",
                                         "\"",
                                         "<",
                                         ">",
                                         "\xd0\x96",
                                         "\xd0\xb6",
                                         "\xd0\x81",
                                         "\xd1\x91",
                                         "\xc3\x9f",
                                         "SS",
                                         "ss",
                                         "\xe1\xba\x9e",
                                         "\xc3\x84",
                                         "\xc3\xa4",
                                         "\xf0\x9f\x98\x80",
                                         "\xef\x80\xaa",
                                         "\xef\x80\xbf",
                                         "\xef\x80\x80",
                                         "\xed\xb2\x80",
                                         "\xff",
                                         "\x80",
                                         "\xc3",
                                         "\xe2\x82",
                                         "\xc0\xaf",
                                         "\xf4\x90\x80\x80",
                                         "\xc3\x28",
                                         "\xce\xa3",
                                         "\xcf\x82",
                                         "\xcf\x83",
                                         "\xe2\x84\xaa",
                                         "k",
                                         "K"};
    QByteArray name;
    const int parts = 1 + int(rng.bounded(rng.bounded(2) ? 4 : 24));
    for (int i = 0; i < parts; ++i)
        name += pieces[rng.bounded(int(std::size(pieces)))];
    return name == "." || name == ".." ? name + "x" : name;
}

} // namespace

namespace {

// The entry of listing with this name; the test fails when there is none.
const FolderListing::Entry& entryNamed(const FolderListing& listing, QStringView name)
{
    const auto& entries = listing.entries();
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const auto& e) { return listing.name(e) == name; });
    if (it == entries.end())
        qFatal("no entry named %s", qPrintable(name.toString()));
    return *it;
}

} // namespace

class TestFileFinder : public QObject {
    Q_OBJECT
    Sandbox box;

    // listing holds exactly the host names `names`, as the long way decodes
    // and orders them.
    static void checkListing(const FolderListing& listing, const std::set<QByteArray>& names)
    {
        std::vector<std::u16string> expected;
        for (const QByteArray& n : names)
            expected.push_back(referenceDecode(n));
        std::sort(expected.begin(), expected.end(), referenceLess);
        QCOMPARE(listing.entries().size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const FolderListing::Entry& e = listing.entries()[i];
            const QStringView name = listing.name(e);
            QVERIFY2(name == QStringView(expected[i]),
                     qPrintable(QStringLiteral("entry %1 of %2: %3").arg(i).arg(expected.size()).arg(name.toString())));
            QCOMPARE(formats::HostNameCodec::encode(name), listing.hostName(e).toByteArray());
            QCOMPARE(formats::HostNameCodec::decode(listing.hostName(e).toByteArray()), name.toString());
            QVERIFY(!e.isDirectory);
        }
    }

private Q_SLOTS:
    void init() { box.setDrives({{'c', "c"}}); }

    void entriesComeInNameOrderWithDotsFirst()
    {
        for (const char* n : {"b.txt", "A.txt", "c", "a2.txt", "Б.txt", "а.txt"})
            box.makeFile(QByteArray("c/order/") + n);
        QCOMPARE(list(QStringLiteral("c:\\order\\*")),
                 QStringList({".", "..", "A.txt", "a2.txt", "b.txt", "c", "а.txt", "Б.txt"}));
        QVERIFY(!list(QStringLiteral("c:\\*")).contains(QStringLiteral("."))); // a drive root has none
        QVERIFY(list(QStringLiteral("c:\\missing\\*")).isEmpty());
    }

    // Random names, in one folder big enough to take several reads and in
    // many small ones (a small folder is sorted another way), every other
    // folder's names beginning alike but for case (a big folder's are told
    // apart past what they share): each entry's text is the long-way
    // decoding of its bytes and converts back to them, and the entries come
    // in the long-way order.
    void listingsDecodeAndOrderAnyHostName()
    {
        QRandomGenerator rng(20261208);
        std::vector<std::set<QByteArray>> folders(40);
        for (auto& names : folders) {
            const size_t wanted = &names == &folders.front() ? 3000 : 1 + rng.bounded(90);
            const QByteArray shared = (&names - &folders.front()) % 2 == 0 ? "File_Number_" : "";
            while (names.size() < wanted) {
                QByteArray start = shared;
                for (char& c : start)
                    c = rng.bounded(2) ? char(std::toupper(c)) : char(std::tolower(c));
                names.insert(start + randomHostName(rng));
            }
        }
        for (size_t f = 0; f < folders.size(); ++f) {
            const QByteArray folder = "c/random/" + QByteArray::number(qulonglong(f) + 100) + '/';
            box.makeDir(folder);
            for (const QByteArray& n : folders[f]) { // bytes as they are: no text conversion on the way
                const int fd = ::open(box.path(folder + n).constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
                QVERIFY2(fd >= 0, n.toHex().constData());
                ::close(fd);
            }
        }
        FolderListing parent;
        QVERIFY(parent.read(QStringLiteral("c:\\random")));
        QCOMPARE(parent.entries().size(), folders.size());
        for (size_t f = 0; f < folders.size(); ++f) {
            const FolderListing::Entry& sub = parent.entries()[f];
            QVERIFY(sub.isDirectory);
            QCOMPARE(parent.name(sub), QString::number(qulonglong(f) + 100));
            FolderListing listing;
            QVERIFY(listing.readChild(parent, sub));
            checkListing(listing, folders[f]);
            if (QTest::currentTestFailed())
                return;
            // Names that are not UTF-8 are beyond the sandbox's own clean-up.
            for (const QByteArray& n : folders[f])
                ::unlink((parent.hostPathOf(sub) + '/' + n).constData());
        }
    }

    void masksFollowTheWindowsRules()
    {
        for (const char* n : {"noext", "x.TMP", "y.tmp", "z.tmpx", "ab.txt", "abc.txt"})
            box.makeFile(QByteArray("c/masks/") + n);
        QCOMPARE(list(QStringLiteral("c:\\masks\\*.*"), faArchive).size(), 6); // also the name without a dot
        QCOMPARE(list(QStringLiteral("c:\\masks\\*.tmp")), QStringList({"x.TMP", "y.tmp"}));
        QCOMPARE(list(QStringLiteral("c:\\masks\\??.txt")), QStringList({"ab.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\masks\\A*C.TXT")), QStringList({"abc.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\masks\\NOEXT")), QStringList({"noext"}));
    }

    void attributeMaskAdmitsSpecialEntriesOnlyWhenAsked()
    {
        box.makeFile("c/attr/plain.txt");
        box.makeFile("c/attr/.hidden.txt");
        box.makeDir("c/attr/sub");
        ::mkfifo(box.path("c/attr/pipe").constData(), 0644);
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), 0), QStringList({"plain.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), faHidden), QStringList({".hidden.txt", "plain.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), faDirectory), QStringList({".", "..", "plain.txt", "sub"}));
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), faSysFile), QStringList({"pipe", "plain.txt"}));

        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\plain.txt")), quint32(faArchive));
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\.hidden.txt")), quint32(faArchive | faHidden));
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\sub")), quint32(faDirectory));
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\pipe")), quint32(faSysFile));
        ::chmod(box.path("c/attr/plain.txt").constData(), 0444);
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\plain.txt")), quint32(faArchive | faReadOnly));
    }

    void dosAttributesReplaceTheDerivedOnes()
    {
        box.makeFile("c/dos/shown.txt");
        box.makeFile("c/dos/.dotted.txt");
        const QByteArray shown = box.path("c/dos/shown.txt"), dotted = box.path("c/dos/.dotted.txt");
        if (::setxattr(shown.constData(), "user.DOSATTRIB", "0x6", 3, 0) != 0)
            QSKIP("this file system keeps no user extended attributes");
        ::setxattr(dotted.constData(), "user.DOSATTRIB", "0x20", 4, 0);
        QCOMPARE(attributesOf(QStringLiteral("c:\\dos\\shown.txt")), quint32(faHidden | faSysFile));
        QCOMPARE(attributesOf(QStringLiteral("c:\\dos\\.dotted.txt")), quint32(faArchive)); // not hidden any more
        QCOMPARE(list(QStringLiteral("c:\\dos\\*"), 0), QStringList({".dotted.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\dos\\*"), faHidden | faSysFile), QStringList({".dotted.txt", "shown.txt"}));
    }

    void linksAreEntriesOfTheirOwn()
    {
        box.makeFile("c/outside/secret.txt");
        box.makeDir("c/links");
        ::symlink(box.path("c/outside").constData(), box.path("c/links/to-folder").constData());
        FileFinder f;
        QVERIFY(f.findFirst(QStringLiteral("c:\\links\\to-folder"), faAnyFile));
        QVERIFY(!f.isDirectory());
        QVERIFY(!(f.attributes() & faDirectory));
        QCOMPARE(f.size(), quint64(box.path("c/outside").size())); // the link's own size
        // Enumerating through the link's name is not walking into it: the
        // finder lists the link, and callers never descend into non-folders.
        QCOMPARE(list(QStringLiteral("c:\\links\\*"), faArchive), QStringList({"to-folder"}));
    }

    void foldersOfAnotherMountAreMarked()
    {
        box.makeDir("c/plain/sub");
        FileFinder f;
        QVERIFY(f.findFirst(QStringLiteral("c:\\plain\\sub"), faDirectory));
        QVERIFY(!f.isMountPoint());
        struct stat dev, shm;
        if (::stat("/dev", &dev) != 0 || ::stat("/dev/shm", &shm) != 0 || dev.st_dev == shm.st_dev)
            QSKIP("/dev/shm is not a file system of its own here");
        QVERIFY(f.findFirst(QStringLiteral("z:\\dev\\shm"), faDirectory));
        QVERIFY(f.isMountPoint());
        QVERIFY(f.attributes() & faMountPoint);

        // A walk reads a sub-folder of its own mount, never one on which
        // another file system sits nor a link: with the one-call open, and
        // on the path of a kernel without it.
        ::symlink(box.path("c/plain/sub").constData(), box.path("c/plain/link").constData());
        for (const bool oneCall : {true, false}) {
            platform::testseams::setOneCallOpen(oneCall);
            FolderListing devFolder;
            QVERIFY(devFolder.read(QStringLiteral("z:\\dev")));
            FolderListing child;
            QVERIFY(!child.readChild(devFolder, entryNamed(devFolder, u"shm")));
            QVERIFY(child.refusedOtherMount());
            QVERIFY(child.entries().empty());
            FolderListing plain;
            QVERIFY(plain.read(QStringLiteral("c:\\plain")));
            QVERIFY(!child.readChild(plain, entryNamed(plain, u"link")));
            QVERIFY(!child.refusedOtherMount());
            QVERIFY(child.readChild(plain, entryNamed(plain, u"sub")));
            QCOMPARE(child.mountId(), plain.mountId());
        }
        platform::testseams::setOneCallOpen(true);
    }

    void sizesAndTimesAreFetchedOnRequest()
    {
        box.makeDir("c/big");
        const int fd = ::open(box.path("c/big/sparse.bin").constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::ftruncate(fd, 5LL << 30), 0); // 5 GiB, no blocks written
        ::close(fd);
        const struct timeval times[2] = {{1000000000, 0}, {1200000000, 0}};
        ::utimes(box.path("c/big/sparse.bin").constData(), times);
        FileFinder f;
        QVERIFY(f.findFirst(QStringLiteral("c:\\big\\*.bin"), 0));
        QCOMPARE(f.size(), quint64(5) << 30);
        const FileTimes t = f.times();
        QCOMPARE(t.lastWrite.toSecsSinceEpoch(), 1200000000);
        QCOMPARE(t.lastAccess.toSecsSinceEpoch(), 1000000000);
        QVERIFY(t.creation.isValid());
    }

    // The platform speaks Windows error codes; no host error number leaves it.
    void folderReadsReportWindowsErrorCodes()
    {
        box.makeDir("c/open");
        box.makeFile("c/plain.txt");
        FolderListing listing;
        QVERIFY(listing.read(QStringLiteral("c:\\open")));
        QCOMPARE(listing.lastError(), 0);
        QVERIFY(!listing.read(QStringLiteral("c:\\missing")));
        QCOMPARE(listing.lastError(), 2);
        QVERIFY(!listing.read(QStringLiteral("c:\\plain.txt")));
        QCOMPARE(listing.lastError(), 3);
        // Every host failure goes through one table; a number it does not
        // know is a general failure, never passed on as if it were a code.
        const QList<std::pair<int, int>> table{
            {EACCES, 5},     {EPERM, 5},     {ENOENT, 2},     {ENOTDIR, 3},   {ENAMETOOLONG, 3},
            {ELOOP, 3},      {EBUSY, 32},    {ETXTBSY, 32},   {EMFILE, 4},    {ENFILE, 4},
            {EROFS, 19},     {ENOSPC, 112},  {EDQUOT, 112},   {EEXIST, 80},   {ENOTEMPTY, 145},
            {EXDEV, 17},     {EIO, 1117},    {EINVAL, 87},    {ENOMEM, 8},    {EOVERFLOW, 31},
            {ENOEXEC, 31},   {EINTR, 31},    {ESTALE, 31},    {ECONNRESET, 31}};
        const QByteArray refused = box.path("c/open");
        for (const auto& [host, code] : table) {
            platform::testseams::setAccessFilter(
                [refused, host](const QByteArray& p) { return p == refused ? host : 0; });
            const bool read = listing.read(QStringLiteral("c:\\open"));
            platform::testseams::setAccessFilter({});
            QVERIFY2(!read, strerror(host));
            QVERIFY2(listing.lastError() == code, strerror(host));
        }
    }

    // A shortcut's target counts when a program could open it as a file.
    void existingFilesAreFoundThroughLinks()
    {
        box.makeFile("c/t/file.txt");
        box.makeDir("c/t/dir");
        QVERIFY(::symlink("file.txt", box.path("c/t/tofile").constData()) == 0);
        QVERIFY(::symlink("dir", box.path("c/t/todir").constData()) == 0);
        QVERIFY(::symlink("gone", box.path("c/t/dangling").constData()) == 0);
        ::mkfifo(box.path("c/t/pipe").constData(), 0644);
        QVERIFY(EntryLookup::isExistingFile(QStringLiteral("c:\\t\\file.txt")));
        QVERIFY(EntryLookup::isExistingFile(QStringLiteral("C:\\T\\FILE.TXT")));
        QVERIFY(EntryLookup::isExistingFile(QStringLiteral("c:\\t\\tofile")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\dir")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\todir")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\dangling")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\pipe")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\none.txt")));
        QVERIFY(!EntryLookup::isExistingFile(QString()));
    }
};

QTEST_GUILESS_MAIN(TestFileFinder)
#include "tst_filefinder.moc"
