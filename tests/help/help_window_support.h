// Support for the help window tests: an installation folder recorded as
// DestDir, help files written with rfh from topic bodies, the popups of this
// thread, and a message pump.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "help_test_support.h"

namespace hwtest {

// A temporary installation folder with a Help folder, recorded as DestDir for
// the fixture's life; the previous DestDir comes back afterwards.
class Installation {
public:
    Installation();
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    bool recorded() const { return recorded_; }
    const std::string& path() const { return folder_.path(); }
    std::string HelpFolder() const { return folder_.File("Help"); }
    // Writes Help\<file> with rfh from topic bodies (help ID -> RTF body).
    bool WriteHelpFile(const std::string& file, const std::map<unsigned, std::string>& topics);
    // Forgets DestDir until the fixture ends.
    bool ForgetDestDir();

private:
    htest::TempFolder folder_;
    char previous_[MAX_PATH] = "";
    bool hadPrevious_ = false;
    bool recorded_ = false;
};

// Runs rfh's "create" for `file` from the topics.
bool MakeHelpFile(const htest::TempFolder& scratch, const std::string& file,
                  const std::map<unsigned, std::string>& topics);

// Dispatches this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);
// The help popups of this thread.
std::vector<HWND> Popups();
// The plain text of a popup's RichEdit child.
std::string PopupText(HWND popup);
// Destroys every popup of this thread that is left.
void DestroyPopups();

}  // namespace hwtest
