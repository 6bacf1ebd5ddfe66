#pragma once
// What the program sets up once its application object exists: its name,
// its font and the message pump of long jobs. Shared by main() and the
// benchmarks, so they measure the program as it runs.

// Sets the application title "Varnel", Qt's Russian texts, the font, the
// menu images and the message pump hook. Call after the QApplication is
// created.
void SetUpApplication();

// Installs Qt's own Russian translation (qtbase_ru.qm from Qt's translations
// folder), so standard buttons and the edit controls' pop-up menus read
// Russian. Returns false, changing nothing, when the file is missing or
// unreadable: Qt's English texts then stay. Call after the QApplication is
// created.
bool LoadQtTranslation();
