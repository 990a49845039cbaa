#pragma once

namespace SkinUI {

// What the skin builds on one thread may make together: how deep controls nest, how many
// controls they make and how many documents they read for an Include or a child layout. A
// build that runs inside another one (an included document, a child layout built while its
// tree is bound) counts against the outer one, so that no skin, however it includes or nests
// itself, overflows the stack or builds without end.
class CBuildLimits
{
public:
    // Levels of controls below the window; the build, the binding, layout, painting and
    // clean-up of a tree this deep stay well inside the default stack.
    static constexpr int kMaxDepth = 256;
    static constexpr int kMaxControls = 10000;
    static constexpr int kMaxIncludes = 200;

    // A stretch of building; the outermost one starts the counts afresh.
    class Session
    {
    public:
        Session();
        Session(const Session &) = delete;
        Session &operator=(const Session &) = delete;
        ~Session();
    };

    // One more level of controls open while it lives.
    class Level
    {
    public:
        Level();
        Level(const Level &) = delete;
        Level &operator=(const Level &) = delete;
        ~Level();
    };

    // Levels of controls open above the controls being made now.
    static int OpenLevels();
    // Whether controls may be made one level below the open ones; the first refusal of a
    // session is logged.
    static bool MayNest();
    // Count one control about to be made, or one document about to be read for an Include
    // or a child layout; false, and logged once a session, when the session has made or
    // read as many as it may.
    static bool CountControl();
    static bool CountInclude();
    static int ControlsMade();
    // Logs, once a session, that an included document was left out for nesting too deep.
    static void ReportDeepInclude();
    // Writes one line to the debugger's log.
    static void Log(const wchar_t *line);
};

} // namespace SkinUI
