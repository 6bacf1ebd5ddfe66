#pragma once
// A registry write refused because the prefix's wineserver runs leaves the
// user nothing to do but stop it; this offers that, for the current prefix
// only, and then tries the write once more.

#include <QString>

#include <functional>

class QWidget;

class ServerStopOffer {
public:
    // Runs write. When it fails while the current prefix's wineserver runs,
    // asks (Yes/No, naming the prefix) whether to stop that server; on Yes
    // stops it and, once it has gone, runs write once more. When the server
    // would not stop, says so in an error box. Returns write's last result.
    // parent owns nothing here; it only places the boxes.
    static bool write(QWidget* parent, const std::function<bool()>& write);

    // The question asked for the prefix shown as name at path.
    static QString question(const QString& name, const QString& path);
};
