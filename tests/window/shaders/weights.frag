// An array uniform, set by its bare name.
#version 120
uniform float weights[3];
void main() { gl_FragColor = vec4(weights[0], weights[1], weights[2], 1.0); }
