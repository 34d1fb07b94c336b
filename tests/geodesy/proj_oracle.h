// PROJ as an independent reference for the grid projections: one operation
// from a "+proj=..." string, run forward (radians to metres) and back.
#pragma once

#ifdef TROVISK_HAVE_PROJ
#include <proj.h>

#include <string>

namespace trovisk {

class ProjOracle {
 public:
  explicit ProjOracle(const std::string& definition)
      : context_(proj_context_create()), operation_(proj_create(context_, definition.c_str())) {}
  ~ProjOracle() {
    if (operation_ != nullptr) proj_destroy(operation_);
    proj_context_destroy(context_);
  }
  ProjOracle(const ProjOracle&) = delete;
  ProjOracle& operator=(const ProjOracle&) = delete;

  bool Ready() const { return operation_ != nullptr; }

  /// lat, lon in radians to easting, northing in metres.
  void Forward(double lat, double lon, double& easting, double& northing) const {
    const PJ_COORD out = proj_trans(operation_, PJ_FWD, proj_coord(lon, lat, 0.0, 0.0));
    easting = out.xy.x;
    northing = out.xy.y;
  }
  /// Easting, northing in metres to lat, lon in radians.
  void Reverse(double easting, double northing, double& lat, double& lon) const {
    const PJ_COORD out = proj_trans(operation_, PJ_INV, proj_coord(easting, northing, 0.0, 0.0));
    lat = out.lp.phi;
    lon = out.lp.lam;
  }

 private:
  PJ_CONTEXT* context_;
  PJ* operation_;
};

}  // namespace trovisk
#endif
