#pragma once

class QApplication;

namespace platform {

// What every window of the program expects of the application: the Japanese fonts under the
// names the windows ask for, Japanese standard buttons, and the key-state tracker.
void setupApplication(QApplication& app);

// Until setupApplication runs, a display that cannot be opened (none, or no plugin for the
// platform asked for) ends the program with a Japanese message and status 1, not an abort.
void exitQuietlyWithoutDisplay();

} // namespace platform
