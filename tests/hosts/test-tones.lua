ardour {
	["type"]    = "dsp",
	name        = "Marrow-Grit Test Tones",
	category    = "Utility",
	license     = "MIT",
	author      = "Marrow-Grit",
	description = [[Two steady sines, one per output, locked to the timeline: output 1 is 200 Hz at amplitude 0.7, output 2 is 300 Hz at amplitude 0.5. The phase follows the transport position, so every export of the same range carries the same samples and renders of different sessions line up sample for sample.]]
}

-- Whole periods at 48 kHz (240 and 160 samples) keep the level over any
-- window of whole 10 ms steps exact. The peaks add up past full scale, so a
-- host or a file format that clips shows in the bypass sum.
local tones = { { freq = 200, amp = 0.7 }, { freq = 300, amp = 0.5 } }
local rate = 48000

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

function dsp_init (r)
	rate = r
end

function dsp_runmap (bufs, in_map, out_map, n_samples, offset)
	local start = Session:transport_sample () + offset
	for c = 1, 2 do
		local o = out_map:get (ARDOUR.DataType ("audio"), c - 1)
		if o ~= ARDOUR.ChanMapping.Invalid then
			local t = tones[c]
			local a = {}
			for s = 1, n_samples do
				-- integer arithmetic for the phase: no drift however far in
				local k = ((start + s - 1) * t.freq) % rate
				a[s] = t.amp * math.sin (2 * math.pi * k / rate)
			end
			bufs:get_audio (o):data (offset):set_table (a, n_samples)
		end
	end
end
