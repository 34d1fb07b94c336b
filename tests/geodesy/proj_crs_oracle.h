// PROJ as an independent reference for a whole projected system of the EPSG
// registry: the conversion from the system's own geographic coordinates to
// its grid, as PROJ's database defines it, taken back to radians and metres.
#pragma once

#ifdef TROVISK_HAVE_PROJ
#include <proj.h>

#include <cmath>
#include <string>

namespace trovisk {

class ProjCrsOracle {
 public:
  explicit ProjCrsOracle(int code) : context_(proj_context_create()) {
    proj_log_level(context_, PJ_LOG_NONE);
    crs_ = proj_create(context_, ("EPSG:" + std::to_string(code)).c_str());
    if (crs_ == nullptr) return;
    PJ* base = proj_crs_get_geodetic_crs(context_, crs_);
    PJ* operation = proj_create_crs_to_crs_from_pj(context_, base, crs_, nullptr, nullptr);
    if (operation != nullptr) {
      // Longitude, latitude in degrees in; easting, northing in the grid's unit out.
      conversion_ = proj_normalize_for_visualization(context_, operation);
      proj_destroy(operation);
    }
    proj_destroy(base);
    PJ* axes = proj_crs_get_coordinate_system(context_, crs_);
    proj_cs_get_axis_info(context_, axes, 0, nullptr, nullptr, nullptr, &unit_, nullptr, nullptr,
                          nullptr);
    proj_destroy(axes);
    // The bare projection on the system's ellipsoid, for PROJ's scale and
    // convergence, which take radians whatever the order of the axes.
    const char* definition = proj_as_proj_string(context_, crs_, PJ_PROJ_4, nullptr);
    if (definition != nullptr) {
      std::string projection = definition;
      const size_t type = projection.find(" +type=crs");
      if (type != std::string::npos) projection.erase(type);
      projection_ = proj_create(context_, projection.c_str());
    }
  }
  ~ProjCrsOracle() {
    if (projection_ != nullptr) proj_destroy(projection_);
    if (conversion_ != nullptr) proj_destroy(conversion_);
    if (crs_ != nullptr) proj_destroy(crs_);
    proj_context_destroy(context_);
  }
  ProjCrsOracle(const ProjCrsOracle&) = delete;
  ProjCrsOracle& operator=(const ProjCrsOracle&) = delete;

  bool Ready() const { return conversion_ != nullptr && projection_ != nullptr; }
  /// Metres per grid unit, as PROJ reads the system's axes.
  double Unit() const { return unit_; }

  /// lat, lon in radians to easting, northing in metres.
  void Forward(double lat, double lon, double& easting, double& northing) const {
    const PJ_COORD out =
        proj_trans(conversion_, PJ_FWD, proj_coord(Degrees(lon), Degrees(lat), 0.0, 0.0));
    easting = out.xy.x * unit_;
    northing = out.xy.y * unit_;
  }
  /// Easting, northing in metres to lat, lon in radians.
  void Reverse(double easting, double northing, double& lat, double& lon) const {
    const PJ_COORD out =
        proj_trans(conversion_, PJ_INV, proj_coord(easting / unit_, northing / unit_, 0.0, 0.0));
    lat = Radians(out.lp.phi);
    lon = Radians(out.lp.lam);
  }
  /// The point scale factor along the meridian and the meridian convergence
  /// (radians) at lat, lon in radians.
  void Distortion(double lat, double lon, double& scale, double& convergence) const {
    const PJ_FACTORS f = proj_factors(projection_, proj_coord(lon, lat, 0.0, 0.0));
    scale = f.meridional_scale;
    convergence = f.meridian_convergence;
  }

 private:
  static double Degrees(double radians) { return radians * 180.0 / M_PI; }
  static double Radians(double degrees) { return degrees * M_PI / 180.0; }

  PJ_CONTEXT* context_;
  PJ* crs_ = nullptr;
  PJ* conversion_ = nullptr;
  PJ* projection_ = nullptr;
  double unit_ = 1.0;
};

}  // namespace trovisk
#endif
