# The effect chain's kernels, one file per instruction set, each compiled for
# its own set and chosen at run time. No contraction into fused multiply-adds
# anywhere: every kernel must round exactly like the plain chain.
set(mg_chain_exact -ffp-contract=off)
target_sources(mg_pedal_dsp PRIVATE ChainKernels.cpp)
set_source_files_properties(ChainKernels.cpp PROPERTIES COMPILE_OPTIONS "${mg_chain_exact}")

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  include(CheckCXXCompilerFlag)
  check_cxx_compiler_flag("-mavx512f -mavx512vl" MG_HAVE_AVX512)
  # Scalar maths in SSE registers in every kernel, as in the 32-bit build.
  set(mg_chain_x86 ${mg_chain_exact} -msse2 -mfpmath=sse)
  if(WIN32)
    # The Windows compilers do not align the stack for 32- and 64-byte
    # spills; the assembler turns the aligned moves into unaligned ones.
    list(APPEND mg_chain_x86 -Wa,-muse-unaligned-vector-move)
  endif()
  target_sources(mg_pedal_dsp PRIVATE ChainSse2.cpp ChainAvx2.cpp)
  set_source_files_properties(ChainSse2.cpp PROPERTIES COMPILE_OPTIONS "${mg_chain_x86}")
  set_source_files_properties(ChainAvx2.cpp PROPERTIES COMPILE_OPTIONS "${mg_chain_x86};-mavx2")
  target_compile_definitions(mg_pedal_dsp PRIVATE MG_CHAIN_X86=1)
  if(MG_HAVE_AVX512)
    target_sources(mg_pedal_dsp PRIVATE ChainAvx512.cpp)
    set_source_files_properties(ChainAvx512.cpp PROPERTIES COMPILE_OPTIONS "${mg_chain_x86};-mavx512f;-mavx512vl")
    target_compile_definitions(mg_pedal_dsp PRIVATE MG_CHAIN_AVX512=1)
  endif()
endif()
