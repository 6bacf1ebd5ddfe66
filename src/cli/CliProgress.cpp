#include "cli/CliProgress.h"

#include "cli/PrintableText.h"

#include "platform/Console.h"
#include "platform/TickCounter.h"

#include <cstdio>

CliProgress::CliProgress()
    : enabled_(platform::Console::errorIsTerminal())
{}

CliProgress::~CliProgress()
{
    clear();
}

void CliProgress::reading(const QString& folder, int found)
{
    if (!enabled_)
        return;
    const quint32 now = platform::TickCounter::now();
    if (shown_ && now - last_ < 100)
        return;
    last_ = now;
    QString line = QStringLiteral("%1 found, reading ").arg(found);
    const int room = platform::Console::width() - 1 - int(line.size());
    const QString shown = PrintableText::escaped(folder);
    line += shown.size() > room && room > 3 ? QStringLiteral("…") + shown.right(room - 1) : shown;
    const QByteArray bytes = "\r\x1b[K" + line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    shown_ = true;
}

void CliProgress::clear()
{
    if (!shown_)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}
