// One colour everywhere, from a uniform the constants table sets.
#version 120
uniform vec4 colour;
void main() { gl_FragColor = colour; }
