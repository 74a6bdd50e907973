// Holds a counter up while it lives, also when nested: how a dialog knows it is building
// or exchanging, and a list that its own changes are the program's, not the user's.
#pragma once

namespace velmora {

class DepthScope {
public:
    explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
    ~DepthScope() { --depth_; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& depth_;
};

} // namespace velmora
