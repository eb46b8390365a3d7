// CNullMesh: the null driver's mesh. It keeps its arrays in memory only: there
// is nothing to upload to and nothing to draw on.
#pragma once

#include "video/Mesh.h"

namespace kelvo::video
{

class CNullMesh : public zu::video::Mesh
{
public:
    using Mesh::Mesh;

    bool upload(bool) override { return false; }
    void draw() override {}
};

} // namespace kelvo::video
