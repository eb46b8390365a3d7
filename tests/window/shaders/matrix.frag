// A 4 x 4 matrix uniform; its last column is the colour.
#version 120
uniform mat4 m;
void main() { gl_FragColor = m[3]; }
