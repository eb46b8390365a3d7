// Draws the shared driver scenes through the OpenGL driver and writes each
// frame as <folder>/<scene>.ppm, for the comparison with the Direct3D 9
// driver under Wine, and the pixels each scene must have exactly as
// FOLDER/probes.json. Usage: pellora-gl-frames FOLDER (under an X server).
#include "DriverScenes.h"
#include "video/IGPUProgrammingServices.h"
#include "WindowTestSupport.h"
#include "platform/CDeviceSDL.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    auto* device = new kelvo::CDeviceSDL("0.7", "");
    device->setDriverType(zu::EDT_OPENGL);
    if (!device->isReady() ||
        !device->createWindow({scenes::WIDTH, scenes::HEIGHT}, false, false, false, 0))
    {
        fprintf(stderr, "no OpenGL window\n");
        device->drop();
        return 1;
    }
    zu::video::IVideoDriver* driver = device->getVideoDriver();
    auto* constants = new scenes::CSceneConstants();
    zu::video::IGPUProgrammingServices* gpu = driver->getShaderServices();
    scenes::shaderTypes().highLevel = gpu->createHighLevelMaterial(
        scenes::shaders::GLSL_VERTEX, "main", "", scenes::shaders::GLSL_PIXEL, "main", "",
        constants, zu::video::EMT_SOLID, 0);
    scenes::shaderTypes().assembly =
        gpu->createProgramMaterial(scenes::shaders::ARB_VERTEX, scenes::shaders::ARB_PIXEL,
                                   constants, zu::video::EMT_SOLID, 1);
    constants->drop();
    int count = 0;
    const scenes::SScene* list = scenes::all(count);
    std::ofstream probes(std::string(argv[1]) + "/probes.json");
    probes << "{";
    for (int i = 0; i < count; ++i)
    {
        probes << (i ? ", " : "") << "\"" << list[i].name << "\": [";
        for (int p = 0; p < list[i].probeCount; ++p)
        {
            const scenes::SProbe& probe = list[i].probes[p];
            probes << (p ? ", " : "") << "[" << probe.x << ", " << probe.y << ", " << int(probe.r)
                   << ", " << int(probe.g) << ", " << int(probe.b) << "]";
        }
        probes << "]";
    }
    probes << "}\n";
    probes.close();
    for (int i = 0; i < count; ++i)
    {
        driver->beginScene(true, true, list[i].clearColor);
        list[i].draw(driver);
        windowtest::writePpm(windowtest::readBackBuffer(driver),
                             std::string(argv[1]) + "/" + list[i].name + ".ppm");
        driver->endScene();
    }
    device->drop();
    return 0;
}
