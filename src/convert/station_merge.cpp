// Station merge: the close pairs of each check, group by group, offered to
// the user and the answers applied.
#include "convert/station_merge.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "geodesy/angles.h"

namespace trovisk {
namespace {

// Separations are shown to the millimetre.
constexpr int kShownDecimals = 3;

bool IsMerged(const StationList& stations, int index) {
  return stations[static_cast<std::size_t>(index)].merge_link != kNotMerged;
}

MergeCandidate CandidateOf(const StationList& stations, int index) {
  const StationRecord& station = stations[static_cast<std::size_t>(index)];
  MergeCandidate candidate;
  candidate.name = station.name;
  candidate.description = stations.Description(static_cast<std::size_t>(index));
  candidate.north = station.north;
  candidate.east = station.east;
  candidate.elevation = station.elevation;
  return candidate;
}

std::uint64_t PairKey(int first, int second) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32) |
         static_cast<std::uint32_t>(second);
}

void Link(StationList& stations, int merged, int survivor) {
  stations[static_cast<std::size_t>(merged)].merge_link = survivor;
}

// One group of a check being offered, its pairs by their position in it.
class GroupOffer {
 public:
  GroupOffer(StationList& stations, const MergeCluster& cluster, DeclinedMerges* declined)
      : stations_(stations), cluster_(cluster), declined_(declined) {}

  // A pair still to be answered: neither station merged meanwhile, and not
  // called different before.
  bool Open(std::size_t position) const {
    const MergeCluster::Pair& pair = cluster_.pairs[position];
    if (IsMerged(stations_, pair.first) || IsMerged(stations_, pair.second)) return false;
    return !(declined_ && declined_->count(PairKey(pair.first, pair.second)));
  }

  int OpenFrom(std::size_t position) const {
    int open = 0;
    for (std::size_t k = position; k < cluster_.pairs.size(); ++k) open += Open(k) ? 1 : 0;
    return open;
  }

  // The open pairs after `position` that `station` is in.
  int OpenAfterWith(std::size_t position, int station) {
    if (pairs_of_.empty()) {
      // Each station's pairs, gathered at the first merge only.
      pairs_of_.resize(cluster_.stations.size());
      for (std::size_t k = 0; k < cluster_.pairs.size(); ++k) {
        for (int member : {cluster_.pairs[k].first, cluster_.pairs[k].second}) {
          pairs_of_[Slot(member)].push_back(k);
        }
      }
    }
    int open = 0;
    for (std::size_t k : pairs_of_[Slot(station)]) open += k > position && Open(k) ? 1 : 0;
    return open;
  }

  void Decline(std::size_t position) {
    const MergeCluster::Pair& pair = cluster_.pairs[position];
    (declined_ ? *declined_ : called_different_).insert(PairKey(pair.first, pair.second));
  }

  // "Different" for every pair still to be answered from `position` on.
  void DeclineFrom(std::size_t position) {
    for (std::size_t k = position; k < cluster_.pairs.size(); ++k) {
      if (Open(k)) Decline(k);
    }
  }

  // "Same" for every pair still to be answered from `position` on: each
  // other station of those pairs is linked to the survivor, but for one
  // already called different from it.
  void MergeFrom(std::size_t position, int survivor) {
    std::vector<int> joining;
    for (std::size_t k = position; k < cluster_.pairs.size(); ++k) {
      if (!Open(k)) continue;
      for (int station : {cluster_.pairs[k].first, cluster_.pairs[k].second}) {
        if (station != survivor && !CalledDifferent(station, survivor)) {
          joining.push_back(station);
        }
      }
    }
    for (int station : joining) {
      if (!IsMerged(stations_, station)) Link(stations_, station, survivor);
    }
  }

 private:
  std::size_t Slot(int station) const {
    const auto at = std::lower_bound(cluster_.stations.begin(), cluster_.stations.end(), station);
    return static_cast<std::size_t>(at - cluster_.stations.begin());
  }

  bool CalledDifferent(int x, int y) const {
    const std::uint64_t key = x < y ? PairKey(x, y) : PairKey(y, x);
    return called_different_.count(key) || (declined_ && declined_->count(key));
  }

  StationList& stations_;
  const MergeCluster& cluster_;
  DeclinedMerges* declined_;
  DeclinedMerges called_different_;                 // in this group, when nothing else remembers
  std::vector<std::vector<std::size_t>> pairs_of_;  // by station, as in cluster_.stations
};

// Offers the open pairs of one group and applies the answers; true when the
// user cancelled.
bool OfferGroup(StationList& stations, const MergeCluster& cluster, bool geodetic,
                UserInterface& ui, DeclinedMerges* declined) {
  GroupOffer group(stations, cluster, declined);
  // Pairs left to answer: one fewer after each answer, and after a merge
  // fewer by the pairs of the station merged.
  int left = group.OpenFrom(0);
  for (std::size_t position = 0; position < cluster.pairs.size(); ++position) {
    if (!group.Open(position)) continue;
    const MergeCluster::Pair& pair = cluster.pairs[position];
    MergeOffer offer;
    offer.first = CandidateOf(stations, pair.first);
    offer.second = CandidateOf(stations, pair.second);
    offer.geodetic = geodetic;
    offer.separation = RoundToDecimals(pair.separation, kShownDecimals);
    offer.group_stations = static_cast<int>(cluster.stations.size());
    offer.group_pairs_left = left;
    const MergeAnswer answer = ui.AskMerge(offer);
    const int survivor = answer.keep_first ? pair.first : pair.second;
    switch (answer.decision) {
      case MergeDecision::kCancel:
        return true;
      case MergeDecision::kSame: {
        // The station not kept takes no further part.
        const int merged = answer.keep_first ? pair.second : pair.first;
        left -= 1 + group.OpenAfterWith(position, merged);
        Link(stations, merged, survivor);
        break;
      }
      case MergeDecision::kDifferent:
        group.Decline(position);
        --left;
        break;
      case MergeDecision::kSameForAllRemaining:
        group.MergeFrom(position, survivor);
        return false;
      case MergeDecision::kDifferentForAllRemaining:
        group.DeclineFrom(position);
        return false;
    }
  }
  return false;
}

bool RunCheck(StationList& stations, double tolerance_m, int tolerance_mode, double a, double e2,
              MergeCheck check, UserInterface& ui, DeclinedMerges* declined) {
  const std::vector<MergeCluster> clusters =
      FindMergeClusters(stations, tolerance_m, tolerance_mode, a, e2, check);
  for (const MergeCluster& cluster : clusters) {
    if (OfferGroup(stations, cluster, check == MergeCheck::kGeodetic, ui, declined)) return true;
  }
  return false;
}

}  // namespace

bool MergeNearbyStations(StationList& stations, double tolerance_m, int tolerance_mode, double a,
                         double e2, UserInterface& ui, DeclinedMerges* declined) {
  if (RunCheck(stations, tolerance_m, tolerance_mode, a, e2, MergeCheck::kLocal, ui, declined)) {
    return true;
  }
  return RunCheck(stations, tolerance_m, tolerance_mode, a, e2, MergeCheck::kGeodetic, ui,
                  declined);
}

}  // namespace trovisk
