#pragma once

#include "gui/ProgramContext.h"

// The whole life of the program: the login, and only after a successful one the main
// window. Nothing survives from one run to the next.
class Application
{
public:
    explicit Application(ProgramContext context) : m_context(std::move(context)) {}

    // Always false: when it returns, the program ends.
    bool InitInstance();

private:
    ProgramContext m_context;
};
