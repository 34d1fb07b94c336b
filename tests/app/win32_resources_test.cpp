// The Windows resource script read as text: its string table must say what the
// message table says, and its dialogs must carry the controls the code drives.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/message_table.h"

namespace trovisk {
namespace {

const std::string kWin32Dir = std::string(TROVISK_SOURCE_DIR) + "/src/app/win32/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(Trim(line));
  return lines;
}

// The #define'd numbers of resource.h, with the two standard button ids.
std::map<std::string, int> ResourceIds() {
  std::map<std::string, int> ids{{"IDOK", 1}, {"IDCANCEL", 2}, {"-1", -1}};
  for (const std::string& line : Lines(ReadFile(kWin32Dir + "resource.h"))) {
    std::istringstream fields(line);
    std::string directive, name;
    int value = 0;
    if (fields >> directive >> name >> value && directive == "#define") ids[name] = value;
  }
  return ids;
}

// A quoted resource-script string starting at `text[pos]`; handles the C
// escapes the compiler accepts and a doubled quote.
std::string Unquote(const std::string& text, std::size_t pos) {
  std::string out;
  for (std::size_t i = pos + 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        out += '"';
        ++i;
        continue;
      }
      break;
    }
    if (c == '\\' && i + 1 < text.size()) {
      char next = text[++i];
      out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
      continue;
    }
    out += c;
  }
  return out;
}

// The lines between BEGIN and END of the block whose header starts with `header`.
std::vector<std::string> Block(const std::vector<std::string>& lines, const std::string& header) {
  std::vector<std::string> block;
  bool in_header = false;
  bool inside = false;
  for (const std::string& line : lines) {
    if (!in_header && !inside && line.rfind(header, 0) == 0)
      in_header = true;
    else if (in_header && line == "BEGIN") {
      in_header = false;
      inside = true;
    } else if (inside && line == "END") {
      break;
    } else if (inside && !line.empty()) {
      block.push_back(line);
    }
  }
  return block;
}

std::map<int, std::string> StringTable() {
  std::map<std::string, int> ids = ResourceIds();
  std::map<int, std::string> table;
  for (const std::string& line : Block(Lines(ReadFile(kWin32Dir + "trovisk.rc")), "STRINGTABLE")) {
    std::size_t quote = line.find('"');
    if (quote == std::string::npos) continue;
    std::string name = Trim(line.substr(0, quote));
    int id = ids.count(name) ? ids[name] : std::atoi(name.c_str());
    EXPECT_TRUE(table.emplace(id, Unquote(line, quote)).second) << "string " << id << " twice";
  }
  return table;
}

// Control ids of a dialog: the id follows the text for the statements that
// carry one and comes first for an edit.
std::multiset<int> DialogControls(const std::string& dialog_name) {
  std::map<std::string, int> ids = ResourceIds();
  std::multiset<int> controls;
  for (const std::string& line :
       Block(Lines(ReadFile(kWin32Dir + "trovisk.rc")), dialog_name + " ")) {
    std::string keyword = line.substr(0, line.find_first_of(" \t"));
    if (keyword == "STYLE" || keyword == "CAPTION" || keyword == "FONT") continue;
    std::string rest = line.substr(keyword.size());
    if (keyword != "EDITTEXT") {
      // Skip the quoted text (or the icon name) and its comma.
      std::size_t comma = rest[rest.find_first_not_of(" \t")] == '"'
                              ? rest.find(',', rest.find('"', rest.find('"') + 1))
                              : rest.find(',');
      rest = rest.substr(comma + 1);
    }
    std::string id = Trim(rest.substr(0, rest.find(',')));
    EXPECT_TRUE(ids.count(id)) << "unknown id " << id << " in " << line;
    if (ids.count(id) && ids[id] != -1) controls.insert(ids[id]);
  }
  return controls;
}

std::string DialogCaption(const std::string& dialog_name) {
  std::vector<std::string> lines = Lines(ReadFile(kWin32Dir + "trovisk.rc"));
  bool in_dialog = false;
  for (const std::string& line : lines) {
    if (line.rfind(dialog_name + " DIALOGEX", 0) == 0) in_dialog = true;
    if (in_dialog && line.rfind("CAPTION", 0) == 0) return Unquote(line, line.find('"'));
  }
  return {};
}

TEST(Win32Resources, StringTableHoldsEveryMessageWithTheSameText) {
  std::map<int, std::string> table = StringTable();
  ASSERT_FALSE(table.empty()) << "no STRINGTABLE found in trovisk.rc";
  for (const MessageEntry& message : AllMessages()) {
    SCOPED_TRACE(message.id);
    auto found = table.find(message.id);
    ASSERT_NE(found, table.end()) << "missing from the string table";
    EXPECT_EQ(found->second, message.text);
  }
  EXPECT_EQ(table.size(), AllMessages().size()) << "the string table has texts the core lacks";
}

TEST(Win32Resources, DialogsCarryTheControlsTheCodeDrives) {
  struct Case {
    const char* dialog;
    const char* caption;
    std::multiset<int> controls;
  };
  const Case cases[] = {
      {"IDD_MAIN",
       "Convert TDS Input File To Korvanta Input File",
       {1,    1000, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012,
        1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1037, 1038, 1039, 1040}},
      {"IDD_MERGE",
       "Found two stations with coordinates that are similar",
       {2, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034,
        1035, 1036}},
  };
  std::map<std::string, int> ids = ResourceIds();
  EXPECT_EQ(ids["IDD_MAIN"], 102);
  EXPECT_EQ(ids["IDD_MERGE"], 103);
  EXPECT_EQ(ids["IDD_ABOUT"], 100);
  EXPECT_EQ(ids["IDI_ICON"], 128);
  EXPECT_EQ(ids["IDM_ABOUT"], 16);
  for (const Case& dialog : cases) {
    SCOPED_TRACE(dialog.dialog);
    EXPECT_EQ(DialogCaption(dialog.dialog), dialog.caption);
    // A multiset: an id given to two controls of one dialog shows up as a mismatch.
    EXPECT_EQ(DialogControls(dialog.dialog), dialog.controls);
  }
}

}  // namespace
}  // namespace trovisk
