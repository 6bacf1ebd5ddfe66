#pragma once
// What the program sets up once its application object exists: its name,
// its font and the message pump of long jobs. Shared by main() and the
// benchmarks, so they measure the program as it runs.

// Sets the application title "Varnel", the font, the menu images and the
// message pump hook. Call after the QApplication is created.
void SetUpApplication();
