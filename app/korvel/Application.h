#pragma once

#include "gui/ProgramContext.h"

namespace korvel {

// The whole life of the program: the login, and only after a successful one the main
// window. Nothing survives from one run to the next.
class Application
{
public:
    explicit Application(ProgramContext context) : m_context(std::move(context)) {}

    // When it returns, the program ends.
    void run();

private:
    ProgramContext m_context;
};

} // namespace korvel
