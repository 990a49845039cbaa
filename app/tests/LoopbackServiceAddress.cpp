// Built only into the test variant of the program: before main() runs, every request of the
// account services is pointed at a stand-in service on the loopback interface, on the port
// the start-up tests listen on.
#include "ServiceEndpoints.h"

#include <QString>

namespace {

[[maybe_unused]] const bool pointedAtLoopback = [] {
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(QUORVANE_TEST_SERVICE_PORT);
    setServiceBaseAddresses(base, base);
    return true;
}();

} // namespace
