#include "platform/ProfileBatch.h"

#include "platform/ProfileFile.h"

namespace platform {

void ProfileBatch::writeString(const QString& section, const QString& key, const QString& value)
{
    steps_.append({false, section, key, value});
}

void ProfileBatch::removeSection(const QString& section)
{
    steps_.append({true, section, {}, {}});
}

bool ProfileBatch::commit(const QByteArray& hostPath)
{
    const QList<Step> steps = std::exchange(steps_, {});
    return ProfileFile::change(hostPath, [&](formats::IniDocument& doc) {
        ProfileFile::Outcome outcome;
        for (const Step& step : steps) {
            if (step.remove) {
                outcome.changed |= doc.removeSection(step.section);
                continue;
            }
            const formats::IniDocument::Edit edit = doc.setValue(step.section, step.key, step.value);
            outcome.changed |= edit == formats::IniDocument::Edit::Changed;
            outcome.refused |= edit == formats::IniDocument::Edit::Refused;
        }
        return outcome;
    });
}

} // namespace platform
