#pragma once
// What the program sets up once its application object exists: its name,
// its font and the message pump of long jobs. Shared by main() and the
// benchmarks, so they measure the program as it runs.

#include <QString>

// Sets the application title "Varnel", Qt's Russian texts, the font, the
// menu images, the message pump hook and the report of settings that could
// not be saved. Call after the QApplication is created.
void SetUpApplication();

// Tells the user, in an error box, that the settings file (Windows form)
// could not be written. The program's handler of failed settings writes.
void ShowSettingsWriteFailure(const QString& file);

// Installs Qt's own Russian translation (qtbase_ru.qm from Qt's translations
// folder), so standard buttons and the edit controls' pop-up menus read
// Russian. Returns false, changing nothing, when the file is missing or
// unreadable: Qt's English texts then stay. Call after the QApplication is
// created.
bool LoadQtTranslation();
