#pragma once
// A private world for one test process: a temporary folder that stands in
// for the drives, the home folder (with its trash), the temporary folder
// and the program folder, so that no test touches the real ones. Every
// folder is looked up anew from the environment, so a test program may make
// one sandbox after another; two alive at once would share the environment.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/MessageBoxService.h"
#include "platform/RunEnvironment.h"

#include <functional>

class Sandbox {
public:
    // Creates the sandbox with drive c: at <root>/c and the program folder at
    // <root>/bin, and points HOME, XDG_DATA_HOME, XDG_CACHE_HOME, TMPDIR,
    // VARNEL_DRIVES, the run environment's program and tmpfiles.d folders
    // into it, and the host registry files into <root>/registry.
    // VARNEL_WINDIR, WINEPREFIX and VARNEL_CODEPAGE are cleared. Message boxes
    // are answered with boxAnswer and their texts kept in boxes.
    Sandbox();
    ~Sandbox();

    // Absolute host path of rel inside the sandbox.
    QByteArray path(const QByteArray& rel) const;
    QString pathText(const QByteArray& rel) const { return QString::fromUtf8(path(rel)); }

    // Creates the folder rel (and its parents).
    void makeDir(const QByteArray& rel) const;
    // Creates the file rel (and its folders) holding content.
    void makeFile(const QByteArray& rel, const QByteArray& content = "x") const;
    bool exists(const QByteArray& rel) const;
    QByteArray read(const QByteArray& rel) const;

    // Replaces the drive table: pairs of letter and folder inside the sandbox
    // ("c" -> "c"), created when missing.
    void setDrives(const QList<QPair<char, QByteArray>>& drives) const;

    // Edits the installed run environment (what the platform reads: drives,
    // folders, clock): edit changes a copy, which is then installed. What a
    // test sets so outlives its sandbox, all but the program folder, until
    // the test sets it back.
    static void changeEnvironment(const std::function<void(platform::RunEnvironment&)>& edit);

    // Runs step as an unprivileged user (nobody) when the test runs as root,
    // in a child process, so refused-access cases are real under CI's root
    // too. The sandbox root is opened for traversal first. Returns step's
    // result.
    bool asUnprivileged(const std::function<bool()>& step) const;

    // No test may wait on a modal box: every box shown is recorded here and
    // answered with boxAnswer (Cancel until a test says otherwise).
    QStringList boxes;
    platform::MsgResult boxAnswer = platform::MsgResult::Cancel;

    // The sandbox's home trash folder.
    QByteArray trash() const { return path("home/data/Trash"); }

private:
    QTemporaryDir dir_;
};
