#pragma once
// Sub_main, once the application object exists: Qt's own texts in Chinese, the Chinese fonts,
// the prompts, the single-instance test, the user's parameter database and the main window MF
// until it closes. The program's main() is only this; a test driver runs the same start.

#include <functional>

class MF;

namespace app {

// Loads Qt's Chinese translation, so that standard dialogs and buttons (打开, 取消, 是, 否…)
// speak the program's language. False when the translation is not installed; Qt's English
// texts then stand.
bool InstallQtTranslations();

// The program's Chinese fonts and its window font, as every window of it is drawn.
void UseProgramFont();

// Runs the program; `shown`, when given, is called once with the window after the start
// sequence, as a driver's way in. Returns the exit status.
int RunProgram(const std::function<void(MF&)>& shown = {});

}  // namespace app
