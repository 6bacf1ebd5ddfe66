#include "settings/Settings.h"

#include "platform/AtomicFile.h"
#include "platform/KnownFolders.h"
#include "platform/PathMapper.h"
#include "platform/ProfileFile.h"

#include <climits>

using platform::PathMapper;
using platform::ProfileFile;

namespace {

struct FailureReport {
    SettingsWriteFailureHandler handler;
    bool told = false;
};

FailureReport& failureReport()
{
    static FailureReport report;
    return report;
}

} // namespace

void SetSettingsWriteFailureHandler(SettingsWriteFailureHandler handler)
{
    failureReport() = {std::move(handler), false};
}

bool NoteSettingsWrite(bool ok)
{
    FailureReport& report = failureReport();
    if (!ok && report.handler && !report.told) {
        report.told = true; // before the call: the handler's box lets messages run
        report.handler(SettingsFileName());
    }
    return ok;
}

QString SettingsFileName()
{
    return platform::KnownFolders::programFile(platform::KnownFolders::ProgramFile::Settings);
}

bool SettingsReadable()
{
    formats::IniDocument doc;
    return ProfileFile::load(PathMapper::toHost(SettingsFileName()), doc)
        != platform::AtomicFile::ReadResult::Unreadable;
}

QString ReadSetting(const QString& section, const QString& key, const QString& def)
{
    return ProfileFile::readString(PathMapper::toHost(SettingsFileName()), section, key, def);
}

bool WriteSetting(const QString& section, const QString& key, const QString& value)
{
    return NoteSettingsWrite(ProfileFile::writeString(PathMapper::toHost(SettingsFileName()), section, key, value));
}

QString ReadSetting(const SettingKey& k)
{
    return ReadSetting(QLatin1String(k.section), QLatin1String(k.key), QString::fromUtf8(k.def));
}

bool WriteSetting(const SettingKey& k, const QString& value)
{
    return WriteSetting(QLatin1String(k.section), QLatin1String(k.key), value);
}

bool ReadSwitch(const SwitchKey& k)
{
    return IsSwitchOn(ReadSetting(k));
}

std::optional<int> ReadNumber(const NumberKey& k)
{
    int value = 0;
    if (!TryStrToInt(ReadSetting(k), value))
        return std::nullopt;
    return value;
}

bool WriteNumber(const NumberKey& k, int value)
{
    return WriteSetting(k, QString::number(value));
}

bool ClearSettingsSection(const QString& section)
{
    return NoteSettingsWrite(ProfileFile::removeSection(PathMapper::toHost(SettingsFileName()), section));
}

int RemoveStaleSettingsFiles()
{
    // A save takes milliseconds; a new file untouched for a minute belongs
    // to no save still running.
    constexpr int kStaleAfterSeconds = 60;
    return platform::AtomicFile::removeStaleTemporaries(PathMapper::toHost(SettingsFileName()), kStaleAfterSeconds);
}

bool TryStrToInt(const QString& text, int& value)
{
    QStringView s(text);
    while (!s.isEmpty() && s.front() == u' ')
        s = s.mid(1);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    int base = 10;
    if (s.startsWith(u'$')) {
        base = 16;
        s = s.mid(1);
    } else if (s.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        s = s.mid(2);
    }
    if (s.isEmpty())
        return false;
    bool ok = false;
    const qlonglong magnitude = s.toLongLong(&ok, base);
    if (!ok || s.front() == u'+' || s.front() == u'-' || s.front() == u' ')
        return false;
    const qlonglong v = negative ? -magnitude : magnitude;
    if (v < INT_MIN || v > INT_MAX)
        return false;
    value = int(v);
    return true;
}

QString InvalidIntegerMessage(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}
