#pragma once
// Converts single names between the host's bytes and the program's text.
//
// Host names are bytes; the program's names are Windows-form text. Two kinds
// of host names cannot be written as such text and are mapped instead, so
// that every name the program sees converts back to the same bytes:
// - bytes that are not valid UTF-8 become U+DC80..U+DCFF (one per byte);
// - the characters that Windows reserves in names (\ : * ? " < > |) become
//   U+F000 plus the character, so a host name such as "a\..\b" can never be
//   read as a path with several components.
// A host name that itself holds one of those stand-in characters keeps it
// as escaped bytes, so decoding is one-to-one: encode(decode(x)) == x for
// every host name x, and two host names never read as the same text.

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace formats::HostNameCodec {

// Text form of one host name (no "/" inside).
QString decode(const char* bytes, qsizetype size);
inline QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}

// Appends the text form of one host name to out (no allocation when out has
// room to spare).
void decodeInto(const char* bytes, qsizetype size, QString& out);

// Writes the text form of one host name to out, which must have room for
// size code units (a name never decodes to more units than it has bytes),
// and returns the number of units written. For callers that size one
// buffer for many names.
qsizetype decodeTo(const char* bytes, qsizetype size, char16_t* out);

// Host bytes of one name in text form; the inverse of decode().
QByteArray encode(QStringView name);

} // namespace formats::HostNameCodec
