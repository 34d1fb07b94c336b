// Station merge, group by group: what the person is told about a pair's
// group, and the answers that settle all of its remaining pairs at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/station_merge.h"
#include "support/scripted_ui.h"

namespace trovisk {
namespace {

using testing::ScriptedUi;

constexpr double kA = 6378137.0;
constexpr double kF = 1.0 / 298.257223563;
constexpr double kE2 = kF * (2.0 - kF);
constexpr double kTolerance = 0.05;

const MergeAnswer kDifferent{MergeDecision::kDifferent, true};
const MergeAnswer kDifferentForAll{MergeDecision::kDifferentForAllRemaining, true};
const MergeAnswer kCancel{MergeDecision::kCancel, true};
MergeAnswer Same(bool keep_first) { return {MergeDecision::kSame, keep_first}; }
MergeAnswer SameForAll(bool keep_first) {
  return {MergeDecision::kSameForAllRemaining, keep_first};
}

// A mark and three check shots on it within 2 cm (every pair close), named
// in turn with a second mark and its one check shot 50 m away, both known
// locally and on the ellipsoid: A P B C Q D.
StationList TwoMarks() {
  const struct {
    const char* name;
    double north, east;
  } places[] = {{"A", 0.0, 0.0},   {"P", 50.0, 0.0},  {"B", 0.01, 0.0},
                {"C", 0.0, 0.012}, {"Q", 50.0, 0.01}, {"D", -0.01, 0.005}};
  constexpr double kRadiansPerMetre = 1.0 / 6367000.0;
  StationList list;
  for (const auto& place : places) {
    StationRecord s;
    s.name = place.name;
    s.has_nee = s.has_geodetic = true;
    s.north = place.north;
    s.east = place.east;
    s.elevation = 10.0;
    s.latitude = 0.6 + place.north * kRadiansPerMetre;
    s.longitude = 0.2 + place.east * kRadiansPerMetre * 1.3;
    s.height = 10.0;
    list.Add(s);
  }
  return list;
}

// Each offer as "first-second stations/pairs left", local or geodetic ("g").
std::vector<std::string> Offers(const ScriptedUi& ui) {
  std::vector<std::string> offers;
  for (const MergeOffer& offer : ui.merge_offers) {
    offers.push_back(std::string(offer.geodetic ? "g " : "") + offer.first.name + "-" +
                     offer.second.name + " " + std::to_string(offer.group_stations) + "/" +
                     std::to_string(offer.group_pairs_left));
  }
  return offers;
}

// The station each one ends up as, by name, in list order.
std::string Resolved(const StationList& list) {
  std::string text;
  for (std::size_t i = 1; i < list.size(); ++i) {
    text += std::string(list[static_cast<std::size_t>(list.Resolve(static_cast<int>(i)))].name);
  }
  return text;
}

TEST(StationMergeGroups, AnswersForTheRestOfAGroup) {
  struct Case {
    const char* what;
    std::vector<MergeAnswer> answers;  // then "different"
    std::vector<std::string> offers;   // in the local check
    std::string resolved;              // A P B C Q D
    bool cancelled;
  };
  const Case cases[] = {
      {"pair by pair, all different",
       {},
       {"A-B 4/6", "A-C 4/5", "A-D 4/4", "B-C 4/3", "B-D 4/2", "C-D 4/1", "P-Q 2/1"},
       "APBCQD",
       false},
      {"different for the rest at once",
       {kDifferentForAll},
       {"A-B 4/6", "P-Q 2/1"},
       "APBCQD",
       false},
      {"same for the rest at once, keeping the first",
       {SameForAll(true)},
       {"A-B 4/6", "P-Q 2/1"},
       "APAAQA",
       false},
      {"same for the rest at once, keeping the second",
       {SameForAll(false), SameForAll(false)},
       {"A-B 4/6", "P-Q 2/1"},
       "BQBBQB",
       false},
      // B goes into A: its pairs are closed, three remain.
      {"one same, then different for the rest",
       {Same(true), kDifferentForAll},
       {"A-B 4/6", "A-C 4/3", "P-Q 2/1"},
       "APACQD",
       false},
      // A stays apart from B as answered; C and D join A, and with them the
      // pairs B-C and B-D go.
      {"one different, then same for the rest",
       {kDifferent, SameForAll(true)},
       {"A-B 4/6", "A-C 4/5", "P-Q 2/1"},
       "APBAQA",
       false},
      {"same for the rest keeping the second, after a different",
       {kDifferent, kDifferent, kDifferent, SameForAll(false)},
       {"A-B 4/6", "A-C 4/5", "A-D 4/4", "B-C 4/3", "P-Q 2/1"},
       "APCCQC",
       false},
      {"cancel in the middle of a group",
       {kDifferent, kCancel},
       {"A-B 4/6", "A-C 4/5"},
       "APBCQD",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StationList list = TwoMarks();
    ScriptedUi ui;
    ui.merge_answers.assign(c.answers.begin(), c.answers.end());
    DeclinedMerges declined;
    EXPECT_EQ(MergeNearbyStations(list, kTolerance, kToleranceMode3D, kA, kE2, ui, &declined),
              c.cancelled);
    std::vector<std::string> local;
    for (const std::string& offer : Offers(ui)) {
      if (offer.rfind("g ", 0) != 0) local.push_back(offer);
    }
    EXPECT_EQ(local, c.offers);
    EXPECT_EQ(Resolved(list), c.resolved);
  }
}

TEST(StationMergeGroups, DifferentForTheRestIsRememberedAcrossChecksAndRounds) {
  struct Case {
    const char* what;
    bool remember;
    std::vector<std::string> offers;
  };
  const Case cases[] = {
      // The geodetic check finds the same two groups and asks nothing more.
      {"remembered", true, {"A-B 4/6", "P-Q 2/1"}},
      {"not remembered", false, {"A-B 4/6", "P-Q 2/1", "g A-B 4/6", "g P-Q 2/1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StationList list = TwoMarks();
    ScriptedUi ui;
    ui.merge_answer_when_dry = kDifferentForAll;
    DeclinedMerges declined;
    EXPECT_FALSE(MergeNearbyStations(list, kTolerance, kToleranceMode3D, kA, kE2, ui,
                                     c.remember ? &declined : nullptr));
    EXPECT_EQ(Offers(ui), c.offers);
    // A second round, as after the approximate coordinates.
    ScriptedUi again;
    MergeNearbyStations(list, kTolerance, kToleranceMode3D, kA, kE2, again,
                        c.remember ? &declined : nullptr);
    EXPECT_EQ(again.merge_offers.size(), c.remember ? 0u : 14u);
    EXPECT_EQ(Resolved(list), "APBCQD");
  }
}

}  // namespace
}  // namespace trovisk
