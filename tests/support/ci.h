// Whether this run is CI's. CI installs every tool and can drop every
// privilege a test needs, so there a test that skips fails the run; on a
// developer's machine it may skip, saying why.
#pragma once

namespace testsupport {

// CI=true (or 1) in the environment.
bool UnderCi();

}  // namespace testsupport
