#pragma once
// The base of the information components (disk, file, shortcut): a
// non-visual component that describes one thing, named by a key property,
// and reads its description again on Refresh().

#include <QObject>

class TumdcComponent : public QObject {
    Q_OBJECT
public:
    explicit TumdcComponent(QObject* parent = nullptr)
        : QObject(parent)
    {}

    // Reads the description of the thing the key names now. Returns whether
    // it was found; what cannot be read is left empty or zero.
    virtual bool Refresh() = 0;
};
