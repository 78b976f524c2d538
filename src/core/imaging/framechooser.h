#pragma once

#include <functional>

namespace ambrel::imaging {

// The frame chooser's state: the frame number and the highest one of the GIF being
// converted. It lives for the run, so the number carries over from one GIF to the next.
class FrameChooser {
public:
    int number() const { return m_number; }
    int highest() const { return m_highest; }

    // A new GIF: a kept number above its highest frame starts again at 0.
    void setHighest(int highest);
    // What the person typed; the number shown is whatever they typed.
    void setNumber(int number);
    // Up past the highest number wraps to 0; down below 0 wraps to the highest.
    void up();
    void down();
    // The frame to take: the number when it names a frame, else 0.
    int chosenFrame() const;

    // Told after every change, so a window can show it.
    std::function<void()> onChanged;

private:
    void changed() const {
        if (onChanged) {
            onChanged();
        }
    }

    int m_number = 0;
    int m_highest = 0;
};

}  // namespace ambrel::imaging
