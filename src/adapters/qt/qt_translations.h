#pragma once

namespace veskora {

// Loads Qt's own translations (the Yes/No of message boxes, the folder
// dialog, the text boxes' menus) for the user's locale, so they read in the
// user's language beside the program's Japanese. Installed on the
// application object; false when none is found for the locale.
bool LoadQtTranslations();

}  // namespace veskora
