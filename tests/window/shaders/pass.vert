// The shader quad as it comes: positions in clip space, the first texture's
// coordinates in unit 0 and the second's in the normal.
#version 120
void main()
{
    gl_Position = ftransform();
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_TexCoord[1] = vec4(gl_Normal.xy, 0.0, 1.0);
    gl_FrontColor = gl_Color;
}
