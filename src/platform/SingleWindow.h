#pragma once

// A window that exists at most once: loaded on first demand, which runs its load sequence,
// and forgotten when it closes. The window is registered before its load sequence runs,
// because that sequence may ask for the window again (the connection set-up does).
// The window class befriends SingleWindow and has a private constructor and formLoad().
template <typename Window> class SingleWindow {
public:
    // The loaded window, or nullptr.
    static Window* loaded() { return s_loaded; }

    static Window& load()
    {
        if (s_loaded)
            return *s_loaded;
        auto* window = new Window;
        s_loaded = window;
        try {
            window->formLoad();
        } catch (...) {
            s_loaded = nullptr;
            delete window;
            throw;
        }
        return *window;
    }

protected:
    // Unloaded from here on, though Qt may delete the window a moment later.
    static void forget(const Window* window)
    {
        if (s_loaded == window)
            s_loaded = nullptr;
    }

private:
    static inline Window* s_loaded = nullptr;
};
