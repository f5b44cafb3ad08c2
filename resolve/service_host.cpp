// The service's web host, fixed when the program is built.
#include "resolve/steps.h"

namespace murrel {

const Text& serviceHost()
{
    static const Text host(MURREL_SERVICE_HOST);
    return host;
}

}  // namespace murrel
