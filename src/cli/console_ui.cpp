// Messages, questions and merge offers on the console.
#include "cli/console_ui.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>

#include "base/merge_group_line.h"
#include "base/message_table.h"

namespace trovisk {

namespace {

// One line of the answer, trimmed and in lower case; false at the end of input.
bool ReadAnswer(std::istream& in, std::string& answer) {
  std::string line;
  if (!std::getline(in, line)) return false;
  answer.clear();
  for (char c : line) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!std::isspace(u)) answer += static_cast<char>(std::tolower(u));
  }
  return true;
}

std::string Metres(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  return buffer;
}

// The separation as the merge already rounded it, without padding.
std::string Separation(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

std::string StationLine(int number, const MergeCandidate& station) {
  std::string line = "  " + std::to_string(number) + ": " + Printable(station.name);
  if (!station.description.empty()) line += " (" + Printable(station.description) + ")";
  line += "  N " + Metres(station.north) + "  E " + Metres(station.east) + "  Elev " +
          Metres(station.elevation);
  return line;
}

std::string OfferSummary(const MergeOffer& offer) {
  return "Stations '" + Printable(offer.first.name) + "' and '" + Printable(offer.second.name) +
         "' are " + Separation(offer.separation) + " m apart (" +
         (offer.geodetic ? "geodetic" : "local") + " check)";
}

}  // namespace

ConsoleUi::ConsoleUi(const ConsoleSettings& settings, std::istream& in, std::ostream& out)
    : settings_(settings), in_(in), out_(out) {}

Answer ConsoleUi::ShowMessage(int message_id, const std::string& text, Buttons buttons) {
  if (buttons == Buttons::kOk) {
    bool success = message_id == kMsgSuccess || message_id == kMsgSuccessWithApprox;
    if (!(success && settings_.quiet)) out_ << Printable(text) << '\n' << std::flush;
    return Answer::kOk;
  }
  if (settings_.questions == QuestionPolicy::kAsk && !settings_.interactive &&
      !told_questions_answered_) {
    Warn("no terminal to ask on: every question is answered Yes (--yes or --no to choose)");
    told_questions_answered_ = true;
  }
  out_ << Printable(text) << '\n';
  switch (settings_.questions) {
    case QuestionPolicy::kYes:
      out_ << "[y/n] yes (--yes)\n" << std::flush;
      return Answer::kYes;
    case QuestionPolicy::kNo:
      out_ << "[y/n] no (--no)\n" << std::flush;
      return Answer::kNo;
    case QuestionPolicy::kAsk:
      break;
  }
  if (!settings_.interactive) {
    out_ << "[y/n] yes\n" << std::flush;
    return Answer::kYes;
  }
  return AskYesNo();
}

Answer ConsoleUi::AskYesNo() {
  std::string answer;
  for (;;) {
    out_ << "[y/n] " << std::flush;
    if (!ReadAnswer(in_, answer)) {
      // Nobody left to answer: take the answer that goes no further.
      out_ << "no (end of input)\n" << std::flush;
      return Answer::kNo;
    }
    if (answer == "y" || answer == "yes") return Answer::kYes;
    if (answer == "n" || answer == "no") return Answer::kNo;
    out_ << "Please answer y or n.\n";
  }
}

MergeAnswer ConsoleUi::AskMerge(const MergeOffer& offer) {
  switch (settings_.merges) {
    case MergePolicy::kSame:
      out_ << OfferSummary(offer) << ": the same point, '" << Printable(offer.first.name)
           << "' kept (--merge same)\n"
           << std::flush;
      return {MergeDecision::kSame, true};
    case MergePolicy::kDifferent:
      out_ << OfferSummary(offer) << ": different points (--merge different)\n" << std::flush;
      return {MergeDecision::kDifferent, true};
    case MergePolicy::kCancel:
      out_ << OfferSummary(offer) << ": conversion cancelled (--merge cancel)\n" << std::flush;
      return {MergeDecision::kCancel, true};
    case MergePolicy::kAsk:
      break;
  }
  if (!settings_.interactive) {
    if (!told_merges_answered_) {
      Warn(
          "no terminal to ask on: stations offered for merging are taken as different points "
          "(--merge to choose)");
      told_merges_answered_ = true;
    }
    out_ << OfferSummary(offer) << ": different points\n" << std::flush;
    return {MergeDecision::kDifferent, true};
  }
  out_ << "Found two stations with coordinates that are similar (" << Separation(offer.separation)
       << " m apart, " << (offer.geodetic ? "geodetic" : "local")
       << " check). If they are the same point, choose the one to be used. Linear units are "
          "meters.\n"
       << StationLine(1, offer.first) << '\n'
       << StationLine(2, offer.second) << '\n'
       << MergeGroupLine(offer) << '\n';
  return AskMergeChoice();
}

MergeAnswer ConsoleUi::AskMergeChoice() {
  std::string typed;
  for (;;) {
    out_ << "1 = same, keep 1 / 2 = same, keep 2 / d = different / c = cancel\n"
            "s1, s2 = same for all remaining pairs of the group, keep 1 or 2 / "
            "da = different for all remaining: "
         << std::flush;
    if (!ReadAnswer(in_, typed)) {
      out_ << "cancel (end of input)\n" << std::flush;
      return {MergeDecision::kCancel, true};
    }
    MergeAnswer answer;
    if (ParseMergeChoice(typed, answer)) return answer;
    out_ << "Please answer 1, 2, d, c, s1, s2 or da.\n";
  }
}

void ConsoleUi::Warn(const std::string& text) {
  out_ << "trovisk: warning: " << Printable(text) << '\n' << std::flush;
}

void ConsoleUi::Inform(const std::string& text) {
  if (!settings_.quiet) out_ << "trovisk: " << Printable(text) << '\n' << std::flush;
}

bool ParseMergeChoice(const std::string& typed, MergeAnswer& answer) {
  struct Choice {
    const char* typed;
    MergeAnswer answer;
  };
  static const Choice kChoices[] = {
      {"1", {MergeDecision::kSame, true}},
      {"2", {MergeDecision::kSame, false}},
      {"d", {MergeDecision::kDifferent, true}},
      {"different", {MergeDecision::kDifferent, true}},
      {"c", {MergeDecision::kCancel, true}},
      {"cancel", {MergeDecision::kCancel, true}},
      {"s1", {MergeDecision::kSameForAllRemaining, true}},
      {"s2", {MergeDecision::kSameForAllRemaining, false}},
      {"da", {MergeDecision::kDifferentForAllRemaining, true}},
  };
  for (const Choice& choice : kChoices) {
    if (typed == choice.typed) {
      answer = choice.answer;
      return true;
    }
  }
  return false;
}

bool ConsoleIsInteractive() { return isatty(STDIN_FILENO) == 1 && isatty(STDERR_FILENO) == 1; }

std::string Printable(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\n' && c != '\t') || u == 0x7f) c = '?';
  }
  return shown;
}

}  // namespace trovisk
