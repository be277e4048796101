#pragma once

// What a press on the canvas grabbed: nothing, the print itself, one of its four corner
// handles (index into cornerWorld) or its rotate handle.
struct DragMode {
    enum class Kind { none, move, resize, rotate };

    Kind kind = Kind::none;
    int corner = 0; // meaningful for resize only

    static constexpr DragMode none() { return {}; }
    static constexpr DragMode move() { return {Kind::move, 0}; }
    static constexpr DragMode resize(int corner) { return {Kind::resize, corner}; }
    static constexpr DragMode rotate() { return {Kind::rotate, 0}; }

    friend constexpr bool operator==(const DragMode &a, const DragMode &b)
    {
        return a.kind == b.kind && (a.kind != Kind::resize || a.corner == b.corner);
    }
};
