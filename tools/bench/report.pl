#!/usr/bin/perl
# The benchmark's table from its samples (lines "case<TAB>tool<TAB>value"): median,
# minimum and maximum of each, the ratios ours / Wine's tool and ours / native tool,
# and each target met or not. Writes Markdown and JSON.
#   report.pl <samples.tsv> <results.md> <results.json>
use strict;
use warnings;

my ($samples_file, $md_file, $json_file) = @ARGV;
die "usage: report.pl <samples.tsv> <results.md> <results.json>\n" unless $json_file;
# Which build of the programs was timed: the i686 one that ships, or the x86-64 test
# flavour on a machine that runs no 32-bit code (BENCH_FLAVOUR win64).
my $arch = ($ENV{BENCH_FLAVOUR} // 'win32') eq 'win64' ? 'x86-64' : 'i686';

my %samples;
open(my $in, '<', $samples_file) or die "$samples_file: $!\n";
while (<$in>) {
    chomp;
    my ($case, $tool, $value) = split /\t/;
    push @{$samples{$case}{$tool}}, $value;
}
close $in;

# The Windows tools' samples are wall clocks of a wine call: each loses the median
# start-up of the same program doing nothing, so that they compare with times taken
# inside a program.
sub median_of {
    my @v = sort { $a <=> $b } @{$_[0]};
    return @v % 2 ? $v[$#v / 2] : ($v[@v / 2 - 1] + $v[@v / 2]) / 2;
}
my %startup_of = (xcopy => 'xcopy', dir => 'cmd', rmdir => 'cmd', 'djpeg-wine' => 'djpeg');
my %startup;
for my $program (keys %{$samples{'wine-startup'} // {}}) {
    $startup{$program} = median_of($samples{'wine-startup'}{$program});
}
for my $case (grep { $_ ne 'wine-startup' } keys %samples) {
    for my $tool (keys %{$samples{$case}}) {
        my $startup = $startup_of{$tool} && $startup{$startup_of{$tool}};
        $_ -= $startup for $startup ? @{$samples{$case}{$tool}} : ();
    }
}

sub stats {
    my @v = sort { $a <=> $b } @{$_[0]};
    return { median => median_of($_[0]), min => $v[0], max => $v[-1], runs => scalar @v,
             samples => $_[0] };
}

# case, what, unit, our tool, Wine's tool, target ratio to it, native tool
my @rows = (
    ['install-large', 'Install, large files', 'ms', 'setup', 'xcopy', 1.10, 'cp'],
    ['install-large-engine', '... from the notice\'s OK', 'ms', 'setup', 'xcopy', 1.3, 'cp'],
    ['copyloop', '... the copy loop alone', 'ms', 'setup', 'xcopy', 1.1, 'cp'],
    ['install-small', 'Install, small files', 'ms', 'setup', 'xcopy', 1.5, 'cp'],
    ['install-small-engine', '... from the notice\'s OK', 'ms', 'setup', 'xcopy', undef, 'cp'],
    ['scan', 'Scan alone', 'ms', 'setup', 'dir', 1.2, 'find'],
    ['uninstall', 'Uninstall, small files', 'ms', 'setup', 'rmdir', 1.5, 'rm'],
    ['picture', 'Background: decode + stretch', 'ms', 'setup', 'djpeg', 1.5, undef],
    ['picture-decode', '... of which decode', 'ms', 'setup', 'djpeg-wine', undef, undef],
    ['picture-stretch', '... of which stretch', 'ms', 'setup', undef, undef, undef],
    ['picture-touch', 'First touch of 36 MB, as the decode does', 'ms', 'setup', undef, undef,
     undef],
    ['stretch-host', 'StretchBitmap alone, native', 'ms', 'setup', undef, undef, undef],
    ['stretch-instructions', 'StretchBitmap, instructions', 'Ir', 'setup', undef, undef, undef],
    ['menu', 'Start to menu shown', 'ms', 'setup', undef, undef, undef],
    ['size', 'Setup.exe', 'bytes', 'Setup.exe', undef, undef, undef],
    ['size', '_uninst.exe', 'bytes', '_uninst.exe', undef, undef, undef],
);
my %peer_name = (xcopy => 'xcopy /E /I /Q', dir => 'dir /s /b', rmdir => 'rmdir /s /q',
                 djpeg => 'djpeg (native)', 'djpeg-wine' => "djpeg.exe (same $arch build)", cp => 'cp -r', find => 'find', rm => 'rm -r');
# The shipped programs' limits, as the static check holds them.
my %size_limit = ('Setup.exe' => 420000, '_uninst.exe' => 220000);

sub cell {
    my ($s) = @_;
    return '' unless $s;
    return $s->{median} if $s->{min} == $s->{max};
    return "$s->{median} ($s->{min}–$s->{max})";
}

sub ratio {
    my ($ours, $theirs) = @_;
    return undef unless $ours && $theirs && $theirs->{median} > 0;
    return sprintf('%.2f', $ours->{median} / $theirs->{median});
}

my @md = (
    "Programs timed: the $arch build" . ($arch eq 'i686' ? ' (what ships).' : ' (the test flavour; this machine runs no 32-bit code).'),
    '',
    '| Case | Unit | Ours: median (min–max) | Wine tool | Wine: median (min–max) | Ours ÷ Wine | Target | Met | Native tool | Native: median (min–max) | Ours ÷ native |',
    '|---|---|---|---|---|---|---|---|---|---|---|',
);
my @json_rows;
for my $row (@rows) {
    my ($case, $what, $unit, $tool, $peer, $target, $native) = @$row;
    next unless $samples{$case} && $samples{$case}{$tool};
    my $ours = stats($samples{$case}{$tool});
    # Parts of an install are held against the same tools' whole time.
    my $peer_case = $case eq 'copyloop' ? 'install-large' : $case =~ s/-engine$//r;
    my $theirs = $peer && $samples{$peer_case}{$peer} ? stats($samples{$peer_case}{$peer}) : undef;
    my $base = $native && $samples{$peer_case}{$native} ? stats($samples{$peer_case}{$native})
                                                        : undef;
    my $peer_ratio = ratio($ours, $theirs);
    my $native_ratio = ratio($ours, $base);
    my ($target_text, $met) = ('', '');
    if (defined $target && defined $peer_ratio) {
        $target_text = "≤ $target";
        $met = $peer_ratio <= $target ? 'yes' : 'no';
    } elsif ($case eq 'size' && $arch eq 'i686') {
        $target_text = "≤ $size_limit{$tool}";
        $met = $ours->{median} <= $size_limit{$tool} ? 'yes' : 'no';
    }
    push @md, '| ' . join(' | ', $what, $unit, cell($ours), $theirs ? $peer_name{$peer} : '',
                          cell($theirs), $peer_ratio // '', $target_text, $met,
                          $base ? $peer_name{$native} : '', cell($base), $native_ratio // '')
        . ' |';
    push @json_rows, {
        case => $case, what => $what, unit => $unit, ours => $ours,
        ($theirs ? (wine_tool => $peer_name{$peer}, wine => $theirs, ratio_to_wine => $peer_ratio)
                 : ()),
        ($base ? (native_tool => $peer_name{$native}, native => $base,
                  ratio_to_native => $native_ratio) : ()),
        ($target_text ne '' ? (target => $target_text, met => $met) : ()),
    };
}
push @md, '', "The Wine tools' times are their wall clock less the median start-up of the same "
    . "program doing nothing: " . join(', ', map { "$_ $startup{$_} ms" } sort keys %startup) . '.'
    if %startup;

open(my $md, '>', $md_file) or die "$md_file: $!\n";
print $md join("\n", @md), "\n";
close $md;

# A small JSON writer: numbers stay numbers, everything else is a quoted string.
sub to_json {
    my ($v) = @_;
    if (ref $v eq 'HASH') {
        return '{' . join(', ', map { '"' . $_ . '": ' . to_json($v->{$_}) } sort keys %$v) . '}';
    }
    if (ref $v eq 'ARRAY') {
        return '[' . join(', ', map { to_json($_) } @$v) . ']';
    }
    return $v if defined $v && $v =~ /^-?\d+(\.\d+)?$/;
    return 'null' unless defined $v;
    (my $s = $v) =~ s/(["\\])/\\$1/g;
    return "\"$s\"";
}
open(my $json, '>', $json_file) or die "$json_file: $!\n";
print $json to_json({ rows => \@json_rows, wine_startup_ms => \%startup,
                      size_limit_bytes => \%size_limit }), "\n";
close $json;
