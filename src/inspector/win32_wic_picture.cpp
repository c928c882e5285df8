#include "inspector/win32_wic_picture.h"

#include <wincodec.h>

#include <algorithm>
#include <new>
#include <string>

#include "ui/com_ptr.h"
#include "ui/deferred_libraries.h"
#include "util/error_number.h"

namespace norvane {
namespace {

// The pixels are copied out this many bytes at a time at most.
constexpr UINT kBandBytes = 4 << 20;
// A decode stopped because it is no longer wanted.
constexpr HRESULT kCancelled = HRESULT_FROM_WIN32(ERROR_CANCELLED);

std::string WicFailure(HRESULT result) {
    // A picture cut short is often one no decoder recognises at all.
    if (result == WINCODEC_ERR_COMPONENTNOTFOUND || result == WINCODEC_ERR_UNKNOWNIMAGEFORMAT)
        return "none of the system's picture decoders reads it (" +
               ErrorNumberText(static_cast<unsigned long>(result)) + ")";
    if (result == E_OUTOFMEMORY) return "there is not enough memory for its pixels";
    if (result == WINCODEC_ERR_BADHEADER || result == WINCODEC_ERR_BADIMAGE ||
        result == WINCODEC_ERR_BADSTREAMDATA || result == WINCODEC_ERR_STREAMREAD ||
        result == WINCODEC_ERR_STREAMNOTAVAILABLE || result == E_FAIL)
        return "its data is damaged or cut short (" +
               ErrorNumberText(static_cast<unsigned long>(result)) + ")";
    return "the system's imaging components failed (" +
           ErrorNumberText(static_cast<unsigned long>(result)) + ")";
}

// The depth of the frame's own pixel format; 0 when the system does not say.
unsigned BitsPerPixel(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame) {
    WICPixelFormatGUID format{};
    ComPtr<IWICComponentInfo> component;
    ComPtr<IWICPixelFormatInfo> info;
    UINT bits = 0;
    if (FAILED(frame->GetPixelFormat(&format)) ||
        FAILED(factory->CreateComponentInfo(format, component.put())) ||
        FAILED(component->QueryInterface(IID_IWICPixelFormatInfo,
                                         reinterpret_cast<void**>(info.put()))) ||
        FAILED(info->GetBitsPerPixel(&bits)))
        return 0;
    return bits;
}

// The container of the coding whose signature the bytes begin with; none
// for any other bytes, which no decoder is given.
const GUID* ContainerOf(PictureCoding coding) {
    switch (coding) {
        case PictureCoding::Png:
            return &GUID_ContainerFormatPng;
        case PictureCoding::Jpeg:
            return &GUID_ContainerFormatJpeg;
        case PictureCoding::Gif:
            return &GUID_ContainerFormatGif;
        case PictureCoding::Bmp:
            return &GUID_ContainerFormatBmp;
        case PictureCoding::Tiff:
            return &GUID_ContainerFormatTiff;
        case PictureCoding::None:
            break;
    }
    return nullptr;
}

HRESULT Decode(const GUID& container, std::span<const std::uint8_t> bytes,
               const DecodeCancelled& cancelled, DecodedPicture& decoded) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    HRESULT result =
        deferred::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()));
    if (SUCCEEDED(result)) result = factory->CreateStream(stream.put());
    // The stream only reads the block, which outlives it.
    if (SUCCEEDED(result))
        result = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                              static_cast<DWORD>(bytes.size()));
    // The decoder of that coding, never whichever installed codec claims the bytes.
    if (SUCCEEDED(result)) result = factory->CreateDecoder(container, nullptr, decoder.put());
    if (SUCCEEDED(result))
        result = decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand);
    if (SUCCEEDED(result)) result = decoder->GetFrame(0, frame.put());
    UINT width = 0, height = 0;
    if (SUCCEEDED(result)) result = frame->GetSize(&width, &height);
    if (FAILED(result)) return result;
    decoded.failure = SizeRefusal(width, height);
    if (!decoded.failure.empty()) return S_OK;
    decoded.bitsPerPixel = BitsPerPixel(factory.get(), frame.get());

    ComPtr<IWICFormatConverter> converter;
    result = factory->CreateFormatConverter(converter.put());
    if (SUCCEEDED(result))
        result = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                       WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    if (FAILED(result)) return result;
    if (cancelled && cancelled()) return kCancelled;
    std::vector<std::uint8_t> dib;
    try {
        dib = AlphaDib(width, height);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // In bands, asking between them whether the picture is still wanted.
    // Within the preview's limit neither the stride nor the size wraps.
    const UINT stride = width * 4;
    const UINT bandRows = std::max<UINT>(1, kBandBytes / stride);
    for (UINT top = 0; top < height; top += bandRows) {
        if (top > 0 && cancelled && cancelled()) return kCancelled;
        const UINT rows = std::min(bandRows, height - top);
        const WICRect band{0, static_cast<INT>(top), static_cast<INT>(width),
                           static_cast<INT>(rows)};
        result =
            converter->CopyPixels(&band, stride, stride * rows,
                                  dib.data() + kAlphaDibHeaderBytes + std::size_t{top} * stride);
        if (FAILED(result)) return result;
    }
    decoded.dib = std::move(dib);
    decoded.width = width;
    decoded.height = height;
    return S_OK;
}

}  // namespace

DecodedPicture DecodeWithWic(std::span<const std::uint8_t> bytes,
                             const DecodeCancelled& cancelled) {
    DecodedPicture decoded;
    const ComLibrary com;
    if (!com.Usable()) {
        decoded.failure = "the system's COM library cannot be started";
        return decoded;
    }
    const GUID* container = ContainerOf(SignatureCoding(bytes));
    if (!container) {
        decoded.failure = "its bytes begin with no signature of PNG, JPEG, GIF, BMP or TIFF";
        return decoded;
    }
    const HRESULT result = Decode(*container, bytes, cancelled, decoded);
    if (result == kCancelled) {
        decoded = DecodedPicture{};
        decoded.failure = "its decoding was stopped";
    }
    if (FAILED(result) && result != kCancelled) decoded.failure = WicFailure(result);
    return decoded;
}

}  // namespace norvane
