#include "data/import_state.h"

namespace data {

ImportState& importState() {
  static ImportState state;
  return state;
}

}  // namespace data
