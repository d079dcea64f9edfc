#pragma once

namespace velumbra {

struct AboutServices;
class Clock;
class Prompter;
class RandomSource;
class Screen;
class SettingsStore;

/// The operating system's services the window works with; tests hand in fakes.
struct AppContext
{
    SettingsStore &settings;
    Clock &clock;
    RandomSource &random;
    Screen &screen;
    Prompter &prompter;
    AboutServices &about;
};

} // namespace velumbra
