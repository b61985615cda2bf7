// Our stand-in for the Direct3D 8 interfaces that the renderer calls.
//
// Only what the program uses is declared: the types, constants and COM-style
// interfaces below keep Direct3D 8's names, numeric values and calling
// conventions (HRESULT results, reference-counted objects, out parameters), so
// the render classes read as they would against the real platform. The
// implementations live elsewhere: an OpenGL 3.3 core one (render/gl) and a
// recording one for tests (render/grabacion). `Direct3DCreate8` hands out the
// object of whichever implementation is installed with `PonerFabricaD3D8`.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

// ---------------------------------------------------------------- base types
using HRESULT = std::int32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using BYTE = std::uint8_t;
using D3DCOLOR = DWORD;

constexpr HRESULT S_OK = 0;
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);

constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

constexpr UINT D3D_SDK_VERSION = 220;
constexpr UINT D3DADAPTER_DEFAULT = 0;

constexpr D3DCOLOR D3DCOLOR_XRGB(int r, int g, int b) {
  return 0xFF000000u | (static_cast<DWORD>(r & 255) << 16) | (static_cast<DWORD>(g & 255) << 8) |
         static_cast<DWORD>(b & 255);
}

// A "window" is whatever the device draws into and presents to. The viewer
// implements it on a Qt surface, the headless tools and tests on EGL.
class IVentanaD3D;
using HWND = IVentanaD3D*;

struct RECT {
  std::int32_t left, top, right, bottom;
};
struct D3DRECT {
  std::int32_t x1, y1, x2, y2;
};
struct RGNDATA;

// ------------------------------------------------------------------- enums
enum D3DFORMAT : std::uint32_t {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_R8G8B8 = 20,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_X1R5G5B5 = 24,
  D3DFMT_A1R5G5B5 = 25,
  D3DFMT_D24S8 = 75,
  D3DFMT_D24X8 = 77,
  D3DFMT_D16 = 80,
};

enum D3DDEVTYPE : std::uint32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };

enum D3DRESOURCETYPE : std::uint32_t {
  D3DRTYPE_SURFACE = 1,
  D3DRTYPE_VOLUME = 2,
  D3DRTYPE_TEXTURE = 3,
  D3DRTYPE_VOLUMETEXTURE = 4,
  D3DRTYPE_CUBETEXTURE = 5,
  D3DRTYPE_VERTEXBUFFER = 6,
  D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DPOOL : std::uint32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2 };

enum D3DSWAPEFFECT : std::uint32_t {
  D3DSWAPEFFECT_DISCARD = 1,
  D3DSWAPEFFECT_FLIP = 2,
  D3DSWAPEFFECT_COPY = 3,
};

enum D3DMULTISAMPLE_TYPE : std::uint32_t { D3DMULTISAMPLE_NONE = 0 };

enum D3DRENDERSTATETYPE : std::uint32_t {
  D3DRS_ZENABLE = 7,
  D3DRS_FILLMODE = 8,
  D3DRS_SHADEMODE = 9,
  D3DRS_ZWRITEENABLE = 14,
  D3DRS_CULLMODE = 22,
  D3DRS_ZFUNC = 23,
  D3DRS_LIGHTING = 137,
};

enum D3DCMPFUNC : std::uint32_t {
  D3DCMP_NEVER = 1,
  D3DCMP_LESS = 2,
  D3DCMP_EQUAL = 3,
  D3DCMP_LESSEQUAL = 4,
  D3DCMP_GREATER = 5,
  D3DCMP_NOTEQUAL = 6,
  D3DCMP_GREATEREQUAL = 7,
  D3DCMP_ALWAYS = 8,
};

enum D3DFILLMODE : std::uint32_t { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DCULL : std::uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DSHADEMODE : std::uint32_t { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };

enum D3DTEXTURESTAGESTATETYPE : std::uint32_t {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_MAGFILTER = 16,
  D3DTSS_MINFILTER = 17,
  D3DTSS_MIPFILTER = 18,
};

enum D3DTEXTUREOP : std::uint32_t {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_MODULATE2X = 5,
  D3DTOP_MODULATE4X = 6,
  D3DTOP_ADD = 7,
  D3DTOP_ADDSIGNED = 8,
  D3DTOP_ADDSIGNED2X = 9,
  D3DTOP_SUBTRACT = 10,
};

constexpr DWORD D3DTA_SELECTMASK = 0x0F;
constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;
constexpr DWORD D3DTA_TFACTOR = 3;
constexpr DWORD D3DTA_SPECULAR = 4;
constexpr DWORD D3DTA_COMPLEMENT = 0x10;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x20;

enum D3DTEXTUREFILTERTYPE : std::uint32_t {
  D3DTEXF_NONE = 0,
  D3DTEXF_POINT = 1,
  D3DTEXF_LINEAR = 2,
};

enum D3DTRANSFORMSTATETYPE : std::uint32_t {
  D3DTS_VIEW = 2,
  D3DTS_PROJECTION = 3,
  D3DTS_WORLD = 256,
};

enum D3DPRIMITIVETYPE : std::uint32_t {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

constexpr DWORD D3DCLEAR_TARGET = 1;
constexpr DWORD D3DCLEAR_ZBUFFER = 2;
constexpr DWORD D3DCLEAR_STENCIL = 4;

constexpr DWORD D3DLOCK_READONLY = 0x10;

constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;

// Flexible vertex format bits.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_POSITION_MASK = 0x00E;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr DWORD D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr DWORD D3DFVF_TEX1 = 0x100;

// ----------------------------------------------------------------- records
struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth;
  UINT BackBufferHeight;
  D3DFORMAT BackBufferFormat;
  UINT BackBufferCount;
  D3DMULTISAMPLE_TYPE MultiSampleType;
  D3DSWAPEFFECT SwapEffect;
  HWND hDeviceWindow;
  BOOL Windowed;
  BOOL EnableAutoDepthStencil;
  D3DFORMAT AutoDepthStencilFormat;
  DWORD Flags;
  UINT FullScreen_RefreshRateInHz;
  UINT FullScreen_PresentationInterval;
};

struct D3DDISPLAYMODE {
  UINT Width;
  UINT Height;
  UINT RefreshRate;
  D3DFORMAT Format;
};

struct D3DLOCKED_RECT {
  INT Pitch;
  void* pBits;
};

struct D3DVECTOR {
  float x, y, z;
};

// 4 x 4 matrix, row-major, used with row vectors: p' = p * M.
struct D3DMATRIX {
  float m[4][4];
};

// -------------------------------------------------------------- interfaces
// Reference counting as in COM: an object starts with one reference owned by
// whoever created it; Release() destroys it when the count reaches zero.
class IUnknown {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

class IDirect3DVertexBuffer8 : public IUnknown {
 public:
  // Gives a writable pointer to `SizeToLock` bytes from `OffsetToLock`
  // (a size of 0 locks the whole buffer).
  virtual HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) = 0;
  virtual HRESULT Unlock() = 0;
};

class IDirect3DTexture8 : public IUnknown {
 public:
  virtual DWORD GetLevelCount() = 0;
  // Locks a whole level when pRect is null; pBits then points at the level's
  // top row, rows `Pitch` bytes apart.
  virtual HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                           DWORD Flags) = 0;
  virtual HRESULT UnlockRect(UINT Level) = 0;
};

class IDirect3DDevice8 : public IUnknown {
 public:
  virtual HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                                D3DPOOL Pool, IDirect3DTexture8** ppTexture) = 0;
  virtual HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                     IDirect3DVertexBuffer8** ppVertexBuffer) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                        DWORD Stencil) = 0;
  virtual HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                          const RGNDATA* pDirtyRegion) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) = 0;
  virtual HRESULT SetTexture(DWORD Stage, IDirect3DTexture8* pTexture) = 0;
  virtual HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) = 0;
  virtual HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData,
                                  UINT Stride) = 0;
  virtual HRESULT SetVertexShader(DWORD Handle) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                                UINT PrimitiveCount) = 0;
};

class IDirect3D8 : public IUnknown {
 public:
  virtual HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) = 0;
  virtual HRESULT CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                    DWORD Usage, D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) = 0;
  virtual HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                               DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters,
                               IDirect3DDevice8** ppReturnedDeviceInterface) = 0;
};

// The window a device renders into: a surface with a GL context (or, for the
// recording implementation, nothing at all behind it).
class IVentanaD3D {
 public:
  virtual ~IVentanaD3D() = default;
  // Makes the window's rendering context current on this thread.
  virtual bool HacerActual() = 0;
  // Shows what was drawn into `FramebufferDestino()`.
  virtual void Presentar() = 0;
  // Client area in pixels.
  virtual void TamanoCliente(int* ancho, int* alto) = 0;
  // The GL framebuffer object that a present copies the back buffer into;
  // 0 is the surface's own default framebuffer.
  virtual unsigned FramebufferDestino() { return 0; }

  // Expires when the window is destroyed. A device and its resources may
  // outlive their window (texture pages are never released); they hold this
  // to know that the window's GL context, and every GL object in it, is gone.
  std::weak_ptr<const void> Vida() const { return vida_; }

 private:
  std::shared_ptr<const void> vida_ = std::make_shared<char>(0);
};

// ------------------------------------------------------------ entry point
// Returns a new IDirect3D8 from the installed implementation, or null when no
// implementation is installed or `SDKVersion` is not 220.
IDirect3D8* Direct3DCreate8(UINT SDKVersion);

// Installs the implementation behind `Direct3DCreate8`; an empty function
// uninstalls it. Returns the previous one so callers can restore it.
using FabricaD3D8 = std::function<IDirect3D8*()>;
FabricaD3D8 PonerFabricaD3D8(FabricaD3D8 fabrica);

// Installs a factory for its own lifetime and puts the previous one back when
// destroyed; tests and tools use it so that no factory leaks into the next.
class FabricaD3D8Temporal {
 public:
  explicit FabricaD3D8Temporal(FabricaD3D8 fabrica)
      : anterior_(PonerFabricaD3D8(std::move(fabrica))) {}
  ~FabricaD3D8Temporal() { PonerFabricaD3D8(std::move(anterior_)); }
  FabricaD3D8Temporal(const FabricaD3D8Temporal&) = delete;
  FabricaD3D8Temporal& operator=(const FabricaD3D8Temporal&) = delete;

 private:
  FabricaD3D8 anterior_;
};
