// Command-line front end (placeholder until the option parsing lands).
#include <cstdio>

int main() {
  std::fprintf(stderr, "trovisk: not yet usable\n");
  return 1;
}
