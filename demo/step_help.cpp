// Step: the help file. The build wrote DestDir\Help\FxHelp.RFH with rfh from
// the topic sources in demo/help; here a host reads it the way the help window
// will (topics by help ID, titles by language), then changes a copy and
// commits it, and sees a damaged file refused.
#include <cstdio>
#include <string>

#include "demo.h"
#include "help/tagfile.h"

namespace demo {
namespace {

using namespace kelmard;

std::string Title(FxTagFile& file, uint32_t tag, uint32_t language) {
    char text[128] = "";
    return file.GetTagString(tag, text, sizeof text, language) ? text : "(none)";
}

// The first line of a topic's RTF body.
std::string FirstLine(FxTagFile& file, uint32_t index) {
    FxTagStream topic;
    if (!topic.Open(&file, index, 0)) return "(cannot open)";
    char body[96] = "";
    const uint32_t n = topic.Read(body, sizeof body - 1);
    body[n] = '\0';
    topic.Close();
    std::string line(body);
    return line.substr(0, line.find_first_of("\r\n"));
}

bool ListTopics(const std::string& path) {
    FxTagFile file;
    if (!file.Open(path.c_str(), 0)) {
        Say("  cannot open %s: %s\n", path.c_str(), FxErrorName(file.GetError()));
        return false;
    }
    Say("  %s: %u entries, %u strings\n", path.c_str(), file.GetEntryCount(), file.GetStringCount());
    for (int32_t i = file.FindEntry(0, FxTag(kFxTopicType, 0)); i >= 0;
         i = file.FindEntry(static_cast<uint32_t>(i) + 1, FxTag(kFxTopicType, 0))) {
        FxTagEntry e;
        file.GetEntry(static_cast<uint32_t>(i), &e);
        Say("  topic %3u  %-28s de: %-16s fr: %-16s %4u bytes  %s\n", FxTagNumber(e.tag),
            Title(file, e.tag, 1033).c_str(), Title(file, e.tag, 1031).c_str(),
            Title(file, e.tag, 1036).c_str(), e.size, FirstLine(file, static_cast<uint32_t>(i)).c_str());
    }
    return file.Close() == 1;
}

}  // namespace

bool StepHelp(Context& context) {
    const std::string help = context.installFolder + "\\Help\\FxHelp.RFH";
    Say("The help file the build wrote with rfh (titles fall back to English where a language is missing):\n");
    if (!ListTopics(help)) return false;

    // Change a copy: a new topic with its title, one topic deleted; the commit
    // writes the file anew beside it (".TMP") and puts it in place.
    const std::string copy = context.outputFolder + "\\Changed.RFH";
    const std::string temp = context.outputFolder + "\\Changed.TMP";
    if (!CopyFileA(help.c_str(), copy.c_str(), FALSE)) return false;
    FxTagFile file;
    if (!file.Open(copy.c_str(), 1)) return false;
    FxTagStream topic;
    const char body[] = "{\\b\\cf1 Demo topic}\\par Added by the demo host.";
    bool ok = topic.Create(&file, FxTag(kFxTopicType, 900)) &&
              topic.Write(body, sizeof body - 1) == sizeof body - 1 && topic.Close() &&
              file.SetTagString(FxTag(kFxTopicType, 900), "Demo topic", 1033) &&
              file.DeleteEntry(static_cast<uint32_t>(file.FindEntry(0, FxTag(kFxTopicType, 120))));
    Say("\nChanging a copy: topic 900 added, topic 120 deleted; closing commits: %d\n", file.Close());
    ok = ok && GetFileAttributesA(temp.c_str()) == INVALID_FILE_ATTRIBUTES;
    Say("  no %s left behind: %s\n", "Changed.TMP", ok ? "yes" : "NO");
    if (!ListTopics(copy)) return false;

    // A file that claims more entries than it holds is refused, not read.
    FILE* f = std::fopen(copy.c_str(), "r+b");
    if (!f) return false;
    const unsigned char count[4] = {0xFF, 0xFF, 0xFF, 0x0F};
    std::fseek(f, 16, SEEK_SET);
    std::fwrite(count, 1, sizeof count, f);
    std::fclose(f);
    FxTagFile damaged;
    const int opened = damaged.Open(copy.c_str(), 0);
    Say("\nThe copy with its entry count set to 0x0FFFFFFF opens: %d (%s)\n", opened,
        FxErrorName(damaged.GetError()));
    return ok && !opened && damaged.GetError() == FXFILE_ERROR_INVALID_FILE;
}

}  // namespace demo
