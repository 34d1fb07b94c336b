// The observation list: details kept beside the records, added on first use,
// dropped with their records, and never shared between two records.
#include <gtest/gtest.h>

#include "rw5/null_value.h"
#include "rw5/observation.h"

namespace trovisk {
namespace {

TEST(ObservationList, DetailsFollowTheirRecords) {
  ObservationList list(1);
  ObservationRecord vector;
  ObservationDetail& added = list.Detail(vector);  // before the record is in the list
  added.dx = 1.0;
  added.description = "RTK";
  list.push_back(vector);
  ObservationRecord plain;
  plain.horizontal_distance = 5.0;
  list.push_back(plain);
  ObservationRecord second;
  list.Detail(second).dx = 2.0;
  list.push_back(second);

  EXPECT_EQ(list.Detail(list[1]).dx, 1.0);
  EXPECT_EQ(list.Detail(list[1]).description, "RTK");
  EXPECT_EQ(list.Detail(list[3]).dx, 2.0);
  // A record without a detail reads every value missing, and asking again
  // for the same record's detail gives the same one.
  const ObservationList& read = list;
  EXPECT_TRUE(IsMissing(read.Detail(read[2]).dx));
  EXPECT_TRUE(IsMissing(read.Detail(read[2]).covariance[5]));
  EXPECT_EQ(&list.Detail(list[1]), &list.Detail(list[1]));

  // Cutting the list back drops the details of the records cut; a record
  // added later starts with none of theirs.
  list.resize(2);
  ObservationRecord later;
  list.push_back(later);
  EXPECT_TRUE(IsMissing(read.Detail(read[2]).dx));
  list.Detail(list[2]).dz = 3.0;
  EXPECT_EQ(list.Detail(list[1]).dx, 1.0);
  EXPECT_TRUE(IsMissing(list.Detail(list[1]).dz));

  list.assign(1, ObservationRecord{});
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(IsMissing(read.Detail(read[0]).dx));
}

}  // namespace
}  // namespace trovisk
