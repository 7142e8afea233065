// The engine's trace follows the same logging rules as the application's categories.
#include "engine/EngineLog.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineLog, TraceFollowsTheLoggingRules)
{
    const struct
    {
        const char *rules;
        bool enabled;
    } cases[] = {
        {nullptr, false},
        {"", false},
        {"vw.engine.debug=true", true},
        {"vw.*.debug=true", true},
        {"*.debug=true", true},
        {"vw.engine=true", true},
        {"*engine*=true", true},
        {" vw.engine.debug = true ;vw.editor.debug=true", true},
        {"vw.editor.debug=true", false},
        {"vw.engine.warning=true", false},
        {"vw.engine.debug=yes", false},
        {"vw.*.debug=true\nvw.engine.debug=false", false},
        {"vw.engine.debug=false;*.debug=true", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rules ? c.rules : "(unset)");
        EXPECT_EQ(engine::traceEnabledByRules(c.rules), c.enabled);
    }
}

} // namespace
