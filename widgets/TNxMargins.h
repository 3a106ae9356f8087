#pragma once

#include <functional>

// The header panel's inner margins; any real change notifies the panel.
class TNxMargins {
public:
    int Left() const { return left_; }
    void SetLeft(int value) { Store(left_, value); }
    int Top() const { return top_; }
    void SetTop(int value) { Store(top_, value); }
    int Right() const { return right_; }
    void SetRight(int value) { Store(right_, value); }
    int Bottom() const { return bottom_; }
    void SetBottom(int value) { Store(bottom_, value); }

    std::function<void()> OnChange;

private:
    void Store(int& field, int value)
    {
        if (field == value)
            return;
        field = value;
        if (OnChange)
            OnChange();
    }

    int left_ = 9;
    int top_ = 5;
    int right_ = 8;
    int bottom_ = 4;
};
