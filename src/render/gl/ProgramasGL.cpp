#include "render/gl/ProgramasGL.h"

#include <string>

namespace gl8 {
namespace {

std::string ShaderVertices(const ClavePrograma& clave) {
  std::string s = R"(#version 330 core
layout(location = 0) in vec3 aPosicion;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aUV;
layout(location = 3) in float aCapa;
// World * View * Projection for row vectors, loaded untransposed: GL reads
// Direct3D's row-major memory as the transpose, which is exactly the
// column-vector form of the same transform.
uniform mat4 uTransformacion;
out vec2 vUV;
out vec4 vColor;
flat out vec4 vColorPlano;
// Every vertex of a polygon carries the polygon's layer, so whichever
// vertex GL takes it from is right.
flat out float vCapa;
void main() {
  vec4 p = uTransformacion * vec4(aPosicion, 1.0);
  // Direct3D keeps 0 <= z <= w, GL keeps -w <= z <= w; z' = 2z - w maps one
  // volume onto the other, and GL's window depth (z'/w + 1) / 2 becomes
  // Direct3D's z / w, so clipping and depth values agree.
  gl_Position = vec4(p.xy, 2.0 * p.z - p.w, p.w);
  vUV = aUV;
  vCapa = aCapa;
)";
  // Lighting with no lights set and the default black ambient leaves only
  // the diffuse alpha; the vertex colour is white when the format has none
  // (the attribute's constant value).
  s += clave.iluminacion ? "  vec4 c = vec4(0.0, 0.0, 0.0, aColor.a);\n" : "  vec4 c = aColor;\n";
  s += "  vColor = c;\n  vColorPlano = c;\n}\n";
  return s;
}

// The GLSL value of one texture argument at stage 0.
std::string Argumento(DWORD argumento) {
  std::string v;
  switch (argumento & D3DTA_SELECTMASK) {
    case D3DTA_TEXTURE:
      v = "texel";
      break;
    case D3DTA_TFACTOR:   // no texture factor state: it keeps Direct3D's opaque white default
    case D3DTA_SPECULAR:  // no vertex format here carries specular, whose default is white
      v = "vec4(1.0)";
      break;
    default:  // D3DTA_DIFFUSE, and D3DTA_CURRENT, which is the diffuse colour at stage 0
      v = "difuso";
      break;
  }
  if (argumento & D3DTA_COMPLEMENT) v = "(vec4(1.0) - " + v + ")";
  if (argumento & D3DTA_ALPHAREPLICATE) v = v + ".aaaa";
  return v;
}

std::string Operacion(DWORD operacion) {
  switch (operacion) {
    case D3DTOP_DISABLE:  // stage 0 off: the diffuse colour goes through
      return "difuso.rgb";
    case D3DTOP_SELECTARG1:
      return "a.rgb";
    case D3DTOP_SELECTARG2:
      return "b.rgb";
    case D3DTOP_MODULATE2X:
      return "2.0 * a.rgb * b.rgb";
    case D3DTOP_MODULATE4X:
      return "4.0 * a.rgb * b.rgb";
    case D3DTOP_ADD:
      return "a.rgb + b.rgb";
    case D3DTOP_ADDSIGNED:
      return "a.rgb + b.rgb - 0.5";
    case D3DTOP_ADDSIGNED2X:
      return "2.0 * (a.rgb + b.rgb - 0.5)";
    case D3DTOP_SUBTRACT:
      return "a.rgb - b.rgb";
    default:  // D3DTOP_MODULATE, and what this implementation does not know
      return "a.rgb * b.rgb";
  }
}

std::string ShaderFragmentos(const ClavePrograma& clave) {
  std::string s = R"(#version 330 core
in vec2 vUV;
in vec4 vColor;
flat in vec4 vColorPlano;
flat in float vCapa;
// Stage 0's texture is a layer of an array texture (see ArreglosGL.h).
uniform sampler2DArray uTextura;
out vec4 fragColor;
void main() {
)";
  s += clave.plano ? "  vec4 difuso = vColorPlano;\n" : "  vec4 difuso = vColor;\n";
  // With no texture set, an argument that asks for the texture reads opaque
  // white: DirectX 8.1 SDK documentation, "Texture Argument Flags",
  // D3DTA_TEXTURE ("If no texture is set for a stage that uses this blending
  // argument, the system defaults to a color value of R: 1.0, G: 1.0,
  // B: 1.0, A: 1.0").
  s += clave.textura ? "  vec4 texel = texture(uTextura, vec3(vUV, vCapa));\n"
                     : "  vec4 texel = vec4(1.0);\n";
  s += "  vec4 a = " + Argumento(clave.argumento1) + ";\n";
  s += "  vec4 b = " + Argumento(clave.argumento2) + ";\n";
  // The back buffer is X8R8G8B8: alpha is not kept, so it is written opaque.
  s += "  fragColor = vec4(clamp(" + Operacion(clave.operacion) + ", 0.0, 1.0), 1.0);\n}\n";
  return s;
}

GLuint Compilar(GLenum tipo, const std::string& fuente) {
  GLuint shader = glCreateShader(tipo);
  const char* texto = fuente.c_str();
  glShaderSource(shader, 1, &texto, nullptr);
  glCompileShader(shader);
  GLint bien = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &bien);
  if (bien != GL_TRUE) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

ProgramaGL* ProgramasGL::Obtener(const ClavePrograma& clave) {
  auto it = programas_.find(clave);
  if (it != programas_.end()) return &it->second;
  GLuint vs = Compilar(GL_VERTEX_SHADER, ShaderVertices(clave));
  GLuint fs = Compilar(GL_FRAGMENT_SHADER, ShaderFragmentos(clave));
  GLuint programa = 0;
  if (vs != 0 && fs != 0) {
    programa = glCreateProgram();
    glAttachShader(programa, vs);
    glAttachShader(programa, fs);
    glLinkProgram(programa);
    GLint bien = GL_FALSE;
    glGetProgramiv(programa, GL_LINK_STATUS, &bien);
    if (bien != GL_TRUE) {
      glDeleteProgram(programa);
      programa = 0;
    }
  }
  if (vs != 0) glDeleteShader(vs);
  if (fs != 0) glDeleteShader(fs);
  if (programa == 0) return nullptr;
  ProgramaGL p;
  p.nombre = programa;
  p.transformacion = glGetUniformLocation(programa, "uTransformacion");
  // The sampler reads texture unit 0, stage 0's unit; 0 is also GL's default.
  glUseProgram(programa);
  glUniform1i(glGetUniformLocation(programa, "uTextura"), 0);
  return &programas_.emplace(clave, p).first->second;
}

void ProgramasGL::Borrar() {
  for (auto& [clave, p] : programas_) glDeleteProgram(p.nombre);
  programas_.clear();
}

}  // namespace gl8
