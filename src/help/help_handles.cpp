// FxHelp's help handles: each opens the installation's help file and up to
// two more, answers whether a topic exists, shows a topic in a popup (see
// help_popup.cpp) and closes.
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "frame/frame.h"
#include "frame/trace.h"
#include "help/help_popup.h"
#include "help/reg_store.h"
#include "help/tagfile.h"
#include "kelmard.h"
#include "owners/win32_owners.h"

#if !defined(_WIN64)
static_assert(sizeof(FxHelpOpenBlock) == 12 && offsetof(FxHelpOpenBlock, firstName) == 4 &&
                  offsetof(FxHelpOpenBlock, secondName) == 8,
              "the open block: names at 4 and 8");
static_assert(offsetof(FxHelpShowBlock, x) == 4 && offsetof(FxHelpShowBlock, y) == 8 &&
                  offsetof(FxHelpShowBlock, helpId) == 12,
              "the show block: parent, x, y, help ID at 0, 4, 8, 12");
#endif

namespace kelmard {
namespace {

constexpr char kGeneralHelpFile[] = "FxHelp.RFH";
constexpr int kSlots = 3;

// A help handle: RichEdit 1.0 for its popups and up to three open help files.
struct HelpHandle {
    UniqueModule richEdit;
    FxTagFile files[kSlots];  // 0 the installation's, 1 and 2 the named ones

    ~HelpHandle() {
        richEdit.reset();  // popups still open hold their own reference
        for (FxTagFile& file : files)
            if (file.IsOpen()) file.Close();
    }
};

// folder + "\Help\" + name (blanks removed) + suffix; false when it does not fit.
bool BuildHelpPath(const char* folder, const char* name, const char* suffix, char (&path)[kFxPathChars]) {
    size_t n = 0;
    auto put = [&](const char* text, bool dropBlanks) {
        for (; *text; ++text) {
            if (dropBlanks && *text == ' ') continue;
            if (n + 1 >= sizeof path) return false;
            path[n++] = *text;
        }
        return true;
    };
    const bool fits = put(folder, false) && put("\\Help\\", false) && put(name, true) && put(suffix, false);
    path[fits ? n : 0] = '\0';
    return fits;
}

// Opens help file `name` + `suffix` of the installation into `file`.
bool OpenHelpFile(FxTagFile& file, const char* folder, const char* name, const char* suffix) {
    char path[kFxPathChars];
    if (BuildHelpPath(folder, name, suffix, path) && file.Open(path, 0)) return true;
    KTRACE("Help: cannot open %s (\"%s\")\n", path, name);
    return false;
}

// The installation's help file, then the named ones in the slots after it.
// Null when any of them cannot be opened.
HelpHandle* OpenHelp(const FxHelpOpenBlock* block) {
    std::unique_ptr<HelpHandle> help(new (std::nothrow) HelpHandle);
    if (!help) return nullptr;
    help->richEdit.reset(LoadLibraryA(kRichEditLibrary));
    // Without DestDir the files are looked for below the current folder.
    char folder[kPathChars];
    FxRegStore().Read(1, "DestDir", folder, sizeof folder, ".");
    if (!OpenHelpFile(help->files[0], folder, kGeneralHelpFile, "")) return nullptr;
    int slot = 1;
    for (const char* name : {block ? block->firstName : nullptr, block ? block->secondName : nullptr}) {
        if (!name) continue;
        if (!OpenHelpFile(help->files[slot++], folder, name, ".RFH")) return nullptr;
    }
    return help.release();  // the plug-in's handle, until FXHELP_CLOSE
}

// The topic's slot and entry: the last slot that has it wins.
bool FindTopic(HelpHandle& help, unsigned id, int& slot, int32_t& index) {
    for (slot = kSlots - 1; slot >= 0; --slot) {
        if (!help.files[slot].IsOpen()) continue;
        index = help.files[slot].FindEntry(0, FxTag(kFxTopicType, id));
        if (index >= 0) return true;
    }
    return false;
}

int ShowHelp(HelpHandle& help, const FxHelpShowBlock* block) {
    if (!block) return 0;
    const unsigned id = block->helpId;
    KTRACE("Display Help ID: %i\n", static_cast<int>(id));
    int slot = 0;
    int32_t index = -1;
    if (!FindTopic(help, id, slot, index)) return 0;
    // Without RichEdit 1.0 there would be an empty popup.
    if (!help.richEdit) return 0;
    FxTagStream topic;
    if (!topic.Open(&help.files[slot], static_cast<uint32_t>(index), 0)) return 0;
    ShowHelpPopup(topic, block->parent, static_cast<int>(block->x), static_cast<int>(block->y));
    return topic.Close();
}

int HasTopic(HelpHandle* help, void* parameters) {
    int slot = 0;
    int32_t index = -1;
    const unsigned id = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parameters) & 0xFFFFu);
    return help && FindTopic(*help, id, slot, index) ? 1 : 0;
}

}  // namespace
}  // namespace kelmard

extern "C" KELMARD_API LONG_PTR QVRAPI FxHelp(int operation, void* help, void* parameters) {
    using namespace kelmard;
    auto* handle = static_cast<HelpHandle*>(help);
    switch (operation) {
    case FXHELP_OPEN:
        return reinterpret_cast<LONG_PTR>(OpenHelp(static_cast<const FxHelpOpenBlock*>(parameters)));
    case FXHELP_CLOSE:
        delete handle;
        return 1;
    case FXHELP_SHOW:
        return handle ? ShowHelp(*handle, static_cast<const FxHelpShowBlock*>(parameters)) : 0;
    case FXHELP_HAS_TOPIC:
        return HasTopic(handle, parameters);
    default:
        return 0;
    }
}
