#include "module1.h"

namespace Module1 {
Settings &settings()
{
    static Settings shared;
    return shared;
}
} // namespace Module1
