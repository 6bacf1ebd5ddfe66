#include "support/TestPlugins.h"

#include "support/Sandbox.h"
#include "platform/PathMapper.h"

#include <QDir>
#include <QFile>

TestPlugins::TestPlugins(const Sandbox& box)
    : box_(box)
{
    qputenv("VARNEL_PLUGIN_LOG", box.path("plugin.log"));
    clear();
}

QByteArray TestPlugins::appPath(const QByteArray& rel) const
{
    return box_.path("app" + QByteArray::number(generation_) + (rel.isEmpty() ? "" : "/" + rel));
}

QString TestPlugins::install(const QString& plugin, const QString& as) const
{
    const QString target = QFile::decodeName(appPath("Plugins/" + as.toUtf8()));
    QDir().mkpath(QFileInfo(target).path());
    QFile::remove(target);
    const QString source = plugin.contains(u'/')
        ? plugin
        : QStringLiteral(VARNEL_TEST_PLUGINS "/") + plugin + QStringLiteral(".so");
    if (!QFile::copy(source, target))
        qFatal("cannot copy test plug-in %s", qPrintable(plugin));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return platform::PathMapper::toWindows(QFile::encodeName(target));
}

QString TestPlugins::folder() const
{
    return platform::PathMapper::toWindows(appPath("Plugins"));
}

QStringList TestPlugins::log() const
{
    return QString::fromUtf8(box_.read("plugin.log")).split(u'\n', Qt::SkipEmptyParts);
}

void TestPlugins::clearLog() const
{
    QFile::remove(box_.pathText("plugin.log"));
}

void TestPlugins::clear()
{
    ++generation_;
    QDir().mkpath(QFile::decodeName(appPath("Plugins")));
    Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.programFolder = appPath({}); });
}
