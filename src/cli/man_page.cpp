// Writes trovisk(1) from the program's own option table (see man_page.h).
#include "cli/man_page.h"

#include <string>

#include "cli/exit_status.h"

namespace trovisk {
namespace {

// Text as roff shows it literally: backslashes and minus signs escaped, and a
// line never taken for a request.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

// The option's names as --help lists them, without the "{false}" that marks
// a flag's negated form.
std::string OptionNames(const CLI::Option& option) {
  std::string names = option.get_name(false, true);
  std::string out;
  bool in_braces = false;
  for (char c : names) {
    if (c == '{') in_braces = true;
    if (!in_braces) out += c;
    if (c == '}') in_braces = false;
  }
  return out;
}

void WriteOption(const CLI::Formatter& formatter, const CLI::Option& option, std::ostream& out) {
  std::string names = OptionNames(option);
  out << ".TP\n\\fB";
  for (std::size_t start = 0; start <= names.size();) {
    std::size_t comma = names.find(',', start);
    if (comma == std::string::npos) comma = names.size();
    if (start > 0) out << "\\fR, \\fB";
    out << Roff(names.substr(start, comma - start));
    start = comma + 1;
  }
  out << "\\fR" << Roff(formatter.make_option_opts(&option)) << '\n';
  out << Roff(option.get_description()) << '\n';
}

}  // namespace

void WriteManPage(const CLI::App& app, const char* version, std::ostream& out) {
  CLI::Formatter formatter;
  out << ".TH TROVISK 1 \"\" \"trovisk " << Roff(version) << "\" \"User Commands\"\n"
      << ".SH NAME\n"
      << "trovisk \\- convert an RW5 raw survey data file into a Korvanta input file\n"
      << ".SH SYNOPSIS\n"
      << ".B trovisk\n"
      << "[\\fIOPTIONS\\fR] \\fIINPUT\\fR \\fB\\-o\\fR \\fIOUTPUT\\fR\n"
      << ".SH DESCRIPTION\n"
      << Roff(app.get_description()) << '\n'
      << ".PP\n"
      << "It reads the setups, backsights, angles, zeniths, distances, direction sets and GPS\n"
         "vectors of a data collector's raw field file and writes the datum and units, default\n"
         "standard deviations, one record per station and one record per observation. "
         "Questionable\n"
         "lines are reported as warnings with the file name and line; a failed run leaves an\n"
         "earlier output file untouched.\n"
      << ".PP\n"
      << "Options not given are taken from the settings file, then from the defaults of the\n"
         "Windows dialog. On a terminal, questions are asked; without one (and without\n"
         "\\fB\\-\\-yes\\fR or \\fB\\-\\-no\\fR) every question is answered Yes and merge offers\n"
         "\"different\". Messages go to standard error.\n";

  out << ".SS Positionals\n";
  for (const CLI::Option* option : app.get_options()) {
    if (!option->get_positional() || option->get_group().empty()) continue;
    out << ".TP\n\\fI" << Roff(option->get_name(true)) << "\\fR\n"
        << Roff(option->get_description()) << '\n';
  }
  out << ".SS Options\n";
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_positional() || option->get_group().empty()) continue;
    WriteOption(formatter, *option, out);
  }

  out << ".SH EXIT STATUS\n"
      << ".TP\n"
      << kExitSuccess << "\nsuccess\n"
      << ".TP\n"
      << kExitFailed << "\nthe conversion failed: cannot open, read or write error, "
      << "out of memory\n"
      << ".TP\n"
      << kExitInvalidOptions << "\ninvalid options\n"
      << ".TP\n"
      << kExitCancelled << "\ncancelled\n"
      << ".SH FILES\n"
      << ".TP\n.I Trovisk.cfg\n"
      << "the settings record beside the program, shared with the Windows dialog; another one\n"
         "is named with \\fB\\-\\-settings\\fR and written with \\fB\\-\\-save\\-settings\\fR\n"
      << ".SH EXAMPLE\n"
      << "Convert the example job that comes with the program, with the field-check report:\n"
      << ".PP\n.RS\n.nf\n"
      << "trovisk /usr/share/doc/trovisk/examples/traverse.rw5 \\-o traverse.txt \\e\n"
      << "        \\-\\-report traverse\\-report.txt\n"
      << ".fi\n.RE\n";
}

}  // namespace trovisk
