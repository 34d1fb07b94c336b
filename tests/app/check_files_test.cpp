// The check report and the plot are named after the output file, beside it.
#include "app/check_files.h"

#include <gtest/gtest.h>

namespace trovisk {
namespace {

TEST(CheckFiles, NamedAfterTheOutputWithoutItsExtension) {
  struct Case {
    const char* output;
    const char* report;
    const char* plot;
  };
  const Case cases[] = {
      {"C:\\jobs\\day1.txt", "C:\\jobs\\day1-report.txt", "C:\\jobs\\day1-plot.svg"},
      {"C:\\jobs\\day1", "C:\\jobs\\day1-report.txt", "C:\\jobs\\day1-plot.svg"},
      {"C:\\jobs.2024\\day1", "C:\\jobs.2024\\day1-report.txt", "C:\\jobs.2024\\day1-plot.svg"},
      {"/home/ann/site.a.txt", "/home/ann/site.a-report.txt", "/home/ann/site.a-plot.svg"},
      {"out.txt", "out-report.txt", "out-plot.svg"},
      {"D:out.txt", "D:out-report.txt", "D:out-plot.svg"},
      {"  C:\\jobs\\day1.txt ", "C:\\jobs\\day1-report.txt", "C:\\jobs\\day1-plot.svg"},
      {"C:\\jobs\\.txt", "C:\\jobs\\.txt-report.txt", "C:\\jobs\\.txt-plot.svg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    ConversionExtras extras = CheckFilesBeside(c.output);
    EXPECT_EQ(extras.report_file, c.report);
    EXPECT_EQ(extras.plot_file, c.plot);
  }
}

}  // namespace
}  // namespace trovisk
