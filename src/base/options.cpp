// The working datum of a run.
#include "base/options.h"

namespace trovisk {

WorkingDatum ChooseWorkingDatum(const ConverterOptions& options) {
  WorkingDatum datum;
  bool in_range = !options.datum_name.empty() && options.datum_major_axis >= 6000000.0 &&
                  options.datum_major_axis <= 7000000.0 &&
                  options.datum_inverse_flattening >= 250.0 &&
                  options.datum_inverse_flattening <= 350.0;
  if (in_range) {
    datum.name = options.datum_name;
    datum.a = options.datum_major_axis;
    datum.inverse_flattening = options.datum_inverse_flattening;
  } else {
    datum.name = kWgs84Name;
    datum.a = kWgs84SemiMajorAxis;
    datum.inverse_flattening = kWgs84InverseFlattening;
  }
  datum.b = (datum.a * datum.inverse_flattening - datum.a) / datum.inverse_flattening;
  datum.e2 = 1.0 - (datum.b * datum.b) / (datum.a * datum.a);
  return datum;
}

}  // namespace trovisk
